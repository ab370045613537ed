#include "beats/reused_buffers.h"

#include <algorithm>

namespace rrscope::beats {
namespace {

// Enough for the buffers of a ten-minute block at the decision rates with
// room to spare; a whole day detected at once is not kept, lest a thread
// hold hundreds of megabytes after it returns.
constexpr std::size_t kKeptBytes = 64 << 20;
constexpr std::size_t kKeptBuffers = 8;

struct KeptBuffers {
  std::vector<std::vector<double>> buffers;
  std::size_t bytes = 0;
};

KeptBuffers& threadBuffers() {
  thread_local KeptBuffers kept;
  return kept;
}

}  // namespace

std::vector<double> takeBuffer(std::size_t size) {
  KeptBuffers& kept = threadBuffers();
  // The smallest buffer that holds `size`, so that large ones stay for
  // large requests.
  auto best = kept.buffers.end();
  for (auto it = kept.buffers.begin(); it != kept.buffers.end(); ++it) {
    if (it->capacity() >= size && (best == kept.buffers.end() || it->capacity() < best->capacity()))
      best = it;
  }
  if (best == kept.buffers.end()) return std::vector<double>(size);
  std::vector<double> buffer = std::move(*best);
  kept.buffers.erase(best);
  kept.bytes -= buffer.capacity() * sizeof(double);
  buffer.assign(size, 0.0);
  return buffer;
}

void keepBuffer(std::vector<double>&& buffer) {
  KeptBuffers& kept = threadBuffers();
  const std::size_t bytes = buffer.capacity() * sizeof(double);
  if (bytes == 0 || kept.buffers.size() >= kKeptBuffers || kept.bytes + bytes > kKeptBytes) return;
  kept.bytes += bytes;
  kept.buffers.push_back(std::move(buffer));
}

}  // namespace rrscope::beats
