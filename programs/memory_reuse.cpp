#include "programs/memory_reuse.h"

#include <malloc.h>

namespace rrscope::programs {

void keepFreedMemoryForReuse() {
  // More than one block's buffers at 1000 samples per second.
  constexpr int kKeptBytes = 256 << 20;
  mallopt(M_MMAP_THRESHOLD, kKeptBytes);
  mallopt(M_TRIM_THRESHOLD, kKeptBytes);
}

}  // namespace rrscope::programs
