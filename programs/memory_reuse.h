#pragma once

namespace rrscope::programs {

// Tells the allocator to keep freed memory for reuse rather than give it
// back to the kernel, for the whole process. The detector keeps its own
// lead-long buffers from block to block (beats/reused_buffers.h), so the
// library is as fast without it; the programs call it first thing in main
// for what else a run allocates and frees again, such as the charts.
void keepFreedMemoryForReuse();

}  // namespace rrscope::programs
