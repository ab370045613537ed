#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

namespace rrscope::analysis {

// Memory for the large arrays of a sample file. Blocks of several megabytes
// are aligned to 2 MiB and offered to the kernel as huge pages, which cuts the
// page faults of loading a full file by a few hundred times.
void* allocateLarge(std::size_t bytes);

struct FreeLarge {
  void operator()(void* block) const { std::free(block); }
};

template <class T>
using LargeArray = std::unique_ptr<T[], FreeLarge>;

template <class T>
LargeArray<T> makeLargeArray(std::size_t count) {
  return LargeArray<T>(static_cast<T*>(allocateLarge(count * sizeof(T))));
}

// The same memory for standard containers of trivial elements.
template <class T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <class U>
  LargeAllocator(const LargeAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(allocateLarge(count * sizeof(T))); }
  void deallocate(T* block, std::size_t) { std::free(block); }
  friend bool operator==(const LargeAllocator&, const LargeAllocator&) = default;
};

}  // namespace rrscope::analysis
