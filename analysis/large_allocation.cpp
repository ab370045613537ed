#include "analysis/large_allocation.h"

#include <sys/mman.h>

namespace rrscope::analysis {

void* allocateLarge(std::size_t bytes) {
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  if (bytes < 2 * kHugePage) {
    if (void* block = std::malloc(bytes == 0 ? 1 : bytes)) return block;
    throw std::bad_alloc();
  }
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* block = std::aligned_alloc(kHugePage, rounded);
  if (block == nullptr) throw std::bad_alloc();
  ::madvise(block, rounded, MADV_HUGEPAGE);  // only a hint; failing is harmless
  return block;
}

}  // namespace rrscope::analysis
