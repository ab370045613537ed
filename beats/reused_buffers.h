#pragma once

#include <cstddef>
#include <vector>

namespace rrscope::beats {

// The detector's lead-long buffers, kept by each thread from one detection
// to the next. A recording is detected block by block, hundreds of blocks a
// day, and buffers freed after each block would go back to the system and
// come back as fresh pages the kernel must clear, which costs about as much
// time as the detection itself; kept, they are reused as they are.

// A buffer of `size` zeros, from this thread's kept buffers when one is
// large enough.
std::vector<double> takeBuffer(std::size_t size);

// Keeps `buffer` for this thread's next takeBuffer, unless the thread
// already keeps as much as a few blocks need; it is freed otherwise.
void keepBuffer(std::vector<double>&& buffer);

}  // namespace rrscope::beats
