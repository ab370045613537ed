#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "recordings/biosig_recording.h"
#include "recordings/child_reader.h"
#include "recordings/recording_error.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/error_of.h"

namespace rrscope::recordings {
namespace {

using std::chrono::milliseconds;

std::string messageOf(const std::function<void(ChildPipe&)>& work, milliseconds limit) {
  return errorOf([&] { runInChild(work, "day.ecg", limit); });
}

TEST(ChildReader, BytesFarBeyondThePipeBufferArriveWhole) {
  std::string sent(3'000'000, '\0');
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7919 % 251);
  const std::vector<std::byte> got = runInChild(
      [&sent](ChildPipe& pipe) {
        pipe.write(std::string_view(sent).substr(0, 1000));
        pipe.keepAlive();
        pipe.write(std::string_view(sent).substr(1000));
      },
      "day.ecg", milliseconds(10'000));
  ASSERT_EQ(got.size(), sent.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(got.data()), got.size()), sent);
}

TEST(ChildReader, EveryWayAChildFailsBecomesAnErrorNamingTheFile) {
  const milliseconds limit(10'000);
  // The default action, as in a build whose sanitizer would catch it.
  const auto crash = [](ChildPipe&) {
    std::signal(SIGSEGV, SIG_DFL);
    std::raise(SIGSEGV);
  };
  EXPECT_EQ(messageOf(crash, limit),
            "day.ecg: the reader stopped with signal 11 (Segmentation fault)");
  EXPECT_EQ(messageOf([](ChildPipe&) { std::abort(); }, limit),
            "day.ecg: the reader stopped with signal 6 (Aborted)");
  EXPECT_EQ(messageOf([](ChildPipe&) { ::_exit(4); }, limit),
            "day.ecg: the reader stopped with exit status 4");
  EXPECT_EQ(messageOf(
                [](ChildPipe& pipe) {
                  pipe.write("half");
                  ::_exit(0);
                },
                limit),
            "day.ecg: the reader stopped before it finished");
  EXPECT_EQ(messageOf([](ChildPipe&) { throw std::runtime_error("BioSig cannot open it"); }, limit),
            "day.ecg: BioSig cannot open it");
  // An error that already names the file is not named twice.
  EXPECT_EQ(
      messageOf([](ChildPipe&) { throw RecordingError("day.ecg", "holds no signal"); }, limit),
      "day.ecg: holds no signal");
}

// A child that stops answering is stopped after the quiet limit, one that
// keeps reporting at its budget, and either well within seconds.
TEST(ChildReader, AChildThatHangsOrOverrunsItsBudgetIsStopped) {
  const struct {
    std::function<void(ChildPipe&)> work;
    milliseconds quiet, budget;
    const char* message;
  } cases[] = {
      {[](ChildPipe&) { std::this_thread::sleep_for(std::chrono::seconds(30)); }, milliseconds(200),
       milliseconds::max(), "day.ecg: the reader did not answer for 0.2 s and was stopped"},
      {[](ChildPipe& pipe) {
         for (;;) {
           std::this_thread::sleep_for(milliseconds(20));
           pipe.keepAlive();
         }
       },
       milliseconds(10'000), milliseconds(400),
       "day.ecg: the reader took longer than the 0.4 s a file of its size needs and was stopped"},
  };
  for (const auto& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(errorOf([&] { runInChild(c.work, "day.ecg", c.quiet, c.budget); }), c.message);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  }
}

TEST(ChildReader, AChildThatKeepsReportingIsNotStopped) {
  const std::vector<std::byte> got = runInChild(
      [](ChildPipe& pipe) {
        for (int i = 0; i < 6; ++i) {
          std::this_thread::sleep_for(milliseconds(100));
          pipe.keepAlive();
        }
        pipe.write("done");
      },
      "day.ecg", milliseconds(300));
  EXPECT_EQ(got.size(), 4u);
}

// Output the parent buffered before the fork must reach the file once: a
// child that flushed the parent's stdio on its way out would write it twice.
TEST(ChildReader, TheChildLeavesTheParentsBufferedOutputAlone) {
  const test::TempFolder folder;
  const std::string path = (folder / "log.txt").string();
  FILE* log = std::fopen(path.c_str(), "w");
  ASSERT_NE(log, nullptr);
  std::setvbuf(log, nullptr, _IOFBF, 4096);
  std::fputs("before the reader\n", log);
  runInChild([](ChildPipe&) {}, "day.ecg", milliseconds(10'000));
  EXPECT_EQ(messageOf([](ChildPipe&) { throw std::runtime_error("fails"); }, milliseconds(10'000)),
            "day.ecg: fails");
  std::fclose(log);
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "before the reader\n");
}

TEST(ConverterValues, WholeStepsKeepTheirValuesAndMissingOnesAreInterpolated) {
  const double nan = std::nan("");
  const std::vector<double> raw = {nan, 10, 20, nan, nan, 50, -7, nan};
  const ConverterValues converted = converterValues(raw, 0.5, 2.0);
  EXPECT_EQ(converted.values, (std::vector<std::int32_t>{10, 10, 20, 30, 40, 50, -7, -7}));
  EXPECT_DOUBLE_EQ(converted.gain, 2.0);
  EXPECT_DOUBLE_EQ(converted.baseline, -4.0);
  EXPECT_EQ(runsOf(converted.invalid), (Runs{{0, 1}, {3, 5}, {7, 8}}));
  // physical = raw * cal + off
  EXPECT_DOUBLE_EQ((converted.values[6] - converted.baseline) / converted.gain, -1.5);
}

TEST(ConverterValues, FloatingPointSamplesAreQuantizedFinely) {
  const std::vector<double> raw = {0.125, -1.7, 3.14159, 1e-4};
  const ConverterValues converted = converterValues(raw, 2.0, -0.5);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const double physical = (converted.values[i] - converted.baseline) / converted.gain;
    EXPECT_NEAR(physical, raw[i] * 2.0 - 0.5, 1e-8) << "sample " << i;
  }
  EXPECT_THROW(converterValues(raw, 0.0, 0.0), std::runtime_error);
}

// One infinite or absurd sample of a float channel is an invalid sample,
// not the scale of all the others; a channel of nothing else has none.
TEST(ConverterValues, SamplesWithoutAPhysicalValueAreInvalidNotTheScale) {
  const double inf = std::numeric_limits<double>::infinity();
  for (const double bad : {inf, -inf, 1e308, std::nan("")}) {
    const std::vector<double> raw = {0.5, -1.25, bad, 2.0};
    const ConverterValues converted = converterValues(raw, 1.0, 0.0);
    EXPECT_EQ(runsOf(converted.invalid), (Runs{{2, 3}})) << bad;
    for (const std::size_t i : {0u, 1u, 3u}) {
      EXPECT_NEAR((converted.values[i] - converted.baseline) / converted.gain, raw[i], 1e-8)
          << bad << " sample " << i;
    }
  }
  EXPECT_THROW(converterValues({inf, std::nan(""), -inf}, 1.0, 0.0), std::runtime_error);
}

// Whether process `pid` has ended: gone, or a zombie no one has reaped yet.
bool hasEnded(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const std::size_t close = line.rfind(')');
  return close == std::string::npos || line.substr(close + 2, 1) == "Z";
}

TEST(ChildReader, TheReaderDiesWithItsParentWhateverEndsIt) {
  const test::TempFolder folder;
  const std::string pidFile = (folder / "reader.pid").string();
  const pid_t parent = ::fork();
  ASSERT_GE(parent, 0);
  if (parent == 0) {
    // As the batch tool would: a reader that never ends.
    try {
      runInChild(
          [&](ChildPipe&) {
            std::ofstream(pidFile) << ::getpid() << std::endl;
            for (;;) ::pause();
          },
          "day.ecg", milliseconds(60'000));
    } catch (...) {
    }
    ::_exit(0);
  }
  pid_t reader = 0;
  for (int tries = 0; tries < 500 && reader == 0; ++tries) {
    std::this_thread::sleep_for(milliseconds(10));
    std::ifstream(pidFile) >> reader;
  }
  ASSERT_GT(reader, 0);
  ::kill(parent, SIGTERM);  // as a timeout or `kill PID` ends it
  int status = 0;
  ::waitpid(parent, &status, 0);
  bool ended = false;
  for (int tries = 0; tries < 300 && !ended; ++tries) {
    ended = hasEnded(reader);
    if (!ended) std::this_thread::sleep_for(milliseconds(10));
  }
  EXPECT_TRUE(ended) << "the reader " << reader << " outlived its parent";
  if (!ended) ::kill(reader, SIGKILL);
}

}  // namespace
}  // namespace rrscope::recordings
