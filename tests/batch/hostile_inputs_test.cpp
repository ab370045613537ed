// rrscope-batch on inputs that would hang it, exhaust its memory or give
// absurd figures: each is refused at once with a reason naming it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>

#include "batch_tool_runner.h"

namespace rrscope {
namespace {

using nlohmann::json;
using test::runTool;
using test::ToolResult;

class HostileInputs : public test::ToolTest {
 protected:
  QString writeBeats() const {
    return writeSpikes(QStringLiteral("beats.txt"), 60000, {6000, 12000, 18000, 24000});
  }
};

TEST_F(HostileInputs, AMatchWindowAboveOneSecondIsAUsageError) {
  test::expectUsageError(runTool({"--match-window=1e9", "--reference=a", writeBeats()}),
                         "--match-window must be at most 1000 ms: a beat is never that far from "
                         "itself");
  const ToolResult widest = runTool({"--match-window=1000", "--reference=a", writeBeats()});
  EXPECT_NE(widest.exitCode, 2) << widest.err;
}

TEST_F(HostileInputs, AFifoOrADeviceAsReferenceStopsTheFileAtOnce) {
  const QString beats = writeBeats();
  const QString fifo = path(QStringLiteral("pipe.beats"));
  ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  const auto start = std::chrono::steady_clock::now();
  for (const QString& reference : {fifo, QStringLiteral("/dev/zero")}) {
    const ToolResult result = runTool({"--reference=" + reference, beats});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.out.find("it is not a regular file"), std::string::npos) << result.out;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

// 300:0.0001 asked for 864 million windows of a day and ran out of memory
// before any line; a series of hour-long intervals asks for too many even
// at a sensible step, and only its own file goes without a line.
TEST_F(HostileInputs, WindowsBeyondTheirBoundAreRefusedBeforeAnyIsMeasured) {
  const QString rr = writeFile("a.rr", "800\n810\n790\n");
  for (const char* tiny : {"300:0.0001", "1:1e-300", "300:0.5"}) {
    test::expectUsageError(runTool({"--input=rr", "--windows", tiny, rr}),
                           std::string("--windows ") + tiny + ": STEP must be at least 1 s");
  }
  std::string hours;
  for (int i = 0; i < 500; ++i) hours += "3600000\n";
  const QString long_ = writeFile("long.rr", hours);
  const ToolResult result = runTool({"--input=rr", "--windows", "300:30", long_, rr});
  EXPECT_EQ(result.exitCode, 1);
  std::string expected(1, '"');
  expected += long_.toStdString();
  expected +=
      "\": --windows 300:30 cuts its series into 59991 windows, more than the 50000 one series "
      "may be cut into";
  EXPECT_NE(result.err.find(expected), std::string::npos) << result.err;
  ASSERT_EQ(result.outLines().size(), 1u);
  EXPECT_EQ(json::parse(result.outLines()[0])["file"], rr.toStdString());
}

// A lambda of 1e308 overflowed the trend to NaN, and 14 measures were null
// without a reason; one of 1e-300 leaves nothing of the series.
TEST_F(HostileInputs, ALambdaThatDestroysTheSeriesIsAUsageError) {
  const QString rr = writeFile("a.rr", "800\n810\n790\n");
  const QStringList detrend{"--input=rr", "--hrv", "--detrend", "smoothness-priors", "--lambda"};
  for (const char* lambda : {"1e308", "1e-300", "1000001", "9.99"}) {
    test::expectUsageError(runTool(detrend + QStringList{lambda, rr}),
                           "lies outside 10 to 1000000");
  }
  for (const char* lambda : {"10", "1000000"}) {
    EXPECT_EQ(runTool(detrend + QStringList{lambda, rr}).exitCode, 0) << lambda;
  }
}

}  // namespace
}  // namespace rrscope
