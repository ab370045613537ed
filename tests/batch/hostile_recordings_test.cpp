// rrscope-batch on recordings and outputs that would exhaust its memory,
// mix the outputs of two files or give figures without a word: each is
// refused, or handled, with a reason that names the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "batch_tool_runner.h"
#include "recordings/wfdb_writer.h"
#include "tests/beats/synthetic_record.h"
#include "tests/core/bounded_child.h"

namespace rrscope {
namespace {

using test::runTool;
using test::ToolResult;

class HostileRecordings : public test::ToolTest {
 protected:
  // NAME.hea and NAME.dat, the synthetic lead at `rate`, repeated `copies` times.
  QString writeRecord(const QString& name, int rate, int copies = 1) const {
    std::vector<std::int16_t> adc;
    for (int i = 0; i < copies; ++i) adc.insert(adc.end(), lead_.adc.begin(), lead_.adc.end());
    recordings::writeWfdbRecord(path(name).toStdString(),
                                {{rate, 1}, 16, 200.0, 0, {"MLII"}, {adc}});
    return path(name + ".hea");
  }

  // An annotation file whose leading note reads `note`, then the lead's beats
  // counted in its samples.
  QString writeAnnotationsWithNote(const QString& name, const std::string& note) const {
    std::vector<unsigned char> bytes;
    const auto word = [&bytes](int value) {
      bytes.push_back(static_cast<unsigned char>(value & 0xFF));
      bytes.push_back(static_cast<unsigned char>(value >> 8));
    };
    word(22 << 10);  // a note at time 0
    word((63 << 10) | static_cast<int>(note.size()));
    for (const char c : note) bytes.push_back(static_cast<unsigned char>(c));
    if (note.size() % 2 != 0) bytes.push_back(0);
    std::int64_t time = 0;
    for (const std::int64_t beat : lead_.beats) {
      word((1 << 10) | static_cast<int>(beat - time));  // N, within the 10-bit step
      time = beat;
    }
    word(0);
    return writeFile(name, std::string(bytes.begin(), bytes.end()));
  }

  test::SyntheticLead lead_ = test::syntheticLead(250, 60);
};

// Two hours at 1000 per second make a table of 135 MB; built whole it
// needed more than the 150 MB of heap the tool is given here.
TEST_F(HostileRecordings, ADayLongCsvExportIsStreamedNotHeldInMemory) {
  if (!test::kAddressSpaceCanBeBounded) GTEST_SKIP() << "this build cannot bound its memory";
  lead_ = test::syntheticLead(1000, 60);
  const QString record = writeRecord(QStringLiteral("long"), 1000, 120);
  const ToolResult result =
      runTool({"--export-csv", path(QStringLiteral("out")), record}, rlim_t{150} << 20);
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  std::ifstream csv(path(QStringLiteral("out/long.csv")).toStdString(), std::ios::binary);
  const auto rows =
      std::count(std::istreambuf_iterator<char>(csv), std::istreambuf_iterator<char>(), '\n');
  EXPECT_EQ(rows, 1 + 120 * static_cast<std::int64_t>(lead_.adc.size()));
}

// a/rec.hea and b/rec.hea would both write out/rec.*: nothing runs, as for
// --report, rather than leaving one file's outputs beside the other's.
TEST_F(HostileRecordings, EveryOutputNamedByStemRefusesTwoFilesOfOneStem) {
  std::filesystem::create_directories(path(QStringLiteral("a")).toStdString());
  std::filesystem::create_directories(path(QStringLiteral("b")).toStdString());
  const QString a = writeRecord(QStringLiteral("a/rec"), 250);
  const QString b = writeRecord(QStringLiteral("b/rec"), 250);
  const QString out = path(QStringLiteral("out"));
  for (const QStringList& outputs :
       {QStringList{"--to-text", out}, QStringList{"--export-csv", out},
        QStringList{"--to-text", out, "--export-csv", out}}) {
    test::expectUsageError(runTool(QStringList{"--force"} + outputs + QStringList{a, b}),
                           "two input files would both write");
    EXPECT_TRUE(test::namesIn(out.toStdString()).empty());
  }
}

// "3.6e5" read up to its first odd character was 3 ticks a second, and the
// others were overlooked: every beat then lay elsewhere, and the scoring
// found none of them, with exit status 0.
TEST_F(HostileRecordings, ATimeResolutionNoteThatIsNoResolutionStopsTheFileNamingIt) {
  const QString record = writeRecord(QStringLiteral("rec"), 250);
  for (const std::string number :
       {"3.6e5", "1e300", "0", "-250", "99999999999999999999", "250 Hz", ""}) {
    const QString reference =
        writeAnnotationsWithNote(QStringLiteral("rec.rrscope"), "## time resolution: " + number);
    const ToolResult result = runTool({"--reference", reference, record});
    EXPECT_EQ(result.exitCode, 1) << number << result.out;
    const std::string message = result.json().at(0)["error"]["message"];
    EXPECT_NE(message.find(reference.toStdString() + ": the note \"## time resolution: " + number +
                           "\": a time resolution is a whole number"),
              std::string::npos)
        << message;
  }
  // The record's own annotations name their file too.
  const QString atr =
      writeAnnotationsWithNote(QStringLiteral("rec.atr"), "## time resolution: 3.6e5");
  const ToolResult own = runTool({"--reference=atr", record});
  EXPECT_EQ(own.exitCode, 1) << own.out;
  const std::string ownMessage = own.json().at(0)["error"]["message"];
  EXPECT_NE(ownMessage.find(atr.toStdString() + ": the note"), std::string::npos) << ownMessage;
  const QString plain =
      writeAnnotationsWithNote(QStringLiteral("rec.rrscope"), "## time resolution: 250");
  const ToolResult scored = runTool({"--reference", plain, record});
  ASSERT_EQ(scored.exitCode, 0) << scored.out;
  EXPECT_EQ(scored.json().at(0)["scoring"]["tp"], lead_.beats.size());
}

// The detector's limits know no file: the line says which one it was.
TEST_F(HostileRecordings, AnErrorOfTheDetectorNamesTheRecording) {
  const QString record = writeRecord(QStringLiteral("slow"), 30);
  const ToolResult result = runTool({record});
  EXPECT_EQ(result.exitCode, 1);
  const std::string message = result.json().at(0)["error"]["message"];
  EXPECT_TRUE(message.starts_with(record.toStdString() + ": the sampling rate 30")) << message;
}

}  // namespace
}  // namespace rrscope
