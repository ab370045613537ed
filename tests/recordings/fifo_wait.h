#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>

namespace rrscope::recordings {

// Runs `read` on a FIFO nobody writes to. Should it block, a writer opens
// and closes the FIFO to release it, and the test fails instead of hanging.
inline void expectNoWaitOnFifo(const std::string& fifo, const std::function<void()>& read) {
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto done = std::async(std::launch::async, read);
  if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    ADD_FAILURE() << "reading " << fifo << " waited for a writer";
  }
  done.get();
}

}  // namespace rrscope::recordings
