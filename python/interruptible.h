#pragma once

#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <future>

namespace rrscope::python {

// Thrown from a checkpoint of work that Ctrl+C (or another signal whose
// handler raised) has stopped.
class Interrupted : public std::exception {
 public:
  const char* what() const noexcept override { return "interrupted"; }
};

// Called by long work between its steps; throws Interrupted once the
// interpreter has seen a signal that raised.
using Checkpoint = std::function<void()>;

// How often the interpreter's thread looks for signals while work runs.
inline constexpr std::chrono::milliseconds kSignalPoll{50};

// Runs `work(checkpoint)` on a thread of its own without the GIL, while the
// calling thread looks for signals: the interpreter handles a signal only
// in its main thread and only when asked, and a day's detection would
// otherwise hear Ctrl+C only when it returns. When the signal's handler
// raises (KeyboardInterrupt for Ctrl+C), the checkpoints throw, the work
// ends at its next step and the handler's exception is raised.
template <class Work>
auto runInterruptibly(Work&& work) -> decltype(work(Checkpoint())) {
  namespace py = pybind11;
  std::atomic<bool> stop = false;
  const Checkpoint checkpoint = [&stop] {
    if (stop.load(std::memory_order_relaxed)) throw Interrupted();
  };
  auto running = std::async(std::launch::async, [&] { return work(checkpoint); });
  bool interrupted = false;
  {
    const py::gil_scoped_release released;
    while (running.wait_for(kSignalPoll) != std::future_status::ready) {
      const py::gil_scoped_acquire held;
      if (PyErr_CheckSignals() != 0) {
        interrupted = true;
        stop = true;
        break;
      }
    }
    running.wait();
  }
  if (interrupted) {
    try {
      running.get();
    } catch (const std::exception&) {
      // The work's own end is of no interest once the user stopped it.
    }
    throw py::error_already_set();
  }
  return running.get();
}

}  // namespace rrscope::python
