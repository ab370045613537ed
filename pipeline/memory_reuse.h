#pragma once

namespace rrscope::pipeline {

// Tells the allocator to keep freed memory for reuse rather than give it
// back to the kernel. The beat detector allocates and frees its buffers
// once per block of a recording, hundreds of times for a day; without this
// the kernel clears the same pages again each time, which costs half as
// much time as the detection itself. Programs call it first thing in main.
void keepFreedMemoryForReuse();

}  // namespace rrscope::pipeline
