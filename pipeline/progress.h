#pragma once

#include <functional>

namespace rrscope::pipeline {

// Told how much of a long analysis is done, from 0 to 1. It may be called
// from the worker threads of the analysis, so it must be safe to call from
// any thread.
using Progress = std::function<void(double done)>;

}  // namespace rrscope::pipeline
