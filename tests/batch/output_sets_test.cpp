// rrscope-batch writes the files of one output set all or none: the parts
// of a text export and the two pages of a report appear together, and
// never over an earlier export unless forced.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "batch_tool_runner.h"
#include "tests/beats/synthetic_record.h"
#include "tests/recordings/edf_file.h"

namespace rrscope {
namespace {

using test::runTool;
using test::ToolResult;

class OutputSets : public test::ToolTest {
 protected:
  // An EDF+ file of the synthetic lead at 250 per second.
  QString writeEdfOf(const QString& name, double seconds) const {
    const test::SyntheticLead lead = test::syntheticLead(250, seconds);
    std::vector<double> mv;
    for (const std::int16_t adc : lead.adc) mv.push_back(adc / 200.0);
    mv.resize(static_cast<std::size_t>(seconds) * 250, 0.0);
    ::writeEdf(path(name).toStdString(), EDFLIB_FILETYPE_EDFPLUS, {{"ECG", 250, mv}});
    return path(name);
  }

  // A folder where a file should go, so that the file cannot take its name.
  void blockWithFolder(const QString& name) const {
    std::filesystem::create_directories(path(name).toStdString());
    writeFile(name + "/keep", "x");
  }
};

// 1700 s at 6000 lines a second are two parts of the text export.
TEST_F(OutputSets, TheTextPartsAppearTogetherAndNeverOverAnEarlierPart) {
  const QString record = writeEdfOf(QStringLiteral("rec.edf"), 1700);
  const QString text = path(QStringLiteral("text"));
  std::filesystem::create_directories(text.toStdString());
  writeFile(QStringLiteral("text/rec-2.txt"), "an earlier export\n");
  const ToolResult kept = runTool({"--to-text", text, record});
  EXPECT_NE(kept.exitCode, 0);
  EXPECT_NE((kept.out + kept.err).find("rec-2.txt\" exists already; use --force to overwrite it"),
            std::string::npos)
      << kept.out << kept.err;
  EXPECT_EQ(test::namesIn(text.toStdString()), std::set<std::string>{"rec-2.txt"});

  std::filesystem::remove(path(QStringLiteral("text/rec-2.txt")).toStdString());
  blockWithFolder(QStringLiteral("text/rec-2.txt"));
  const ToolResult failed = runTool({"--force", "--to-text", text, record});
  EXPECT_NE(failed.exitCode, 0);
  EXPECT_NE((failed.out + failed.err).find("rec-2.txt"), std::string::npos)
      << failed.out << failed.err;
  // Neither the first part nor any temporary stays beside the folder.
  EXPECT_EQ(test::namesIn(text.toStdString()), std::set<std::string>{"rec-2.txt"});
}

// When the report's PNG cannot be written, its PDF, and the text export and
// the table written before it for the same file, go again.
TEST_F(OutputSets, AFileKeepsNoOutputWhenALaterOneFails) {
  const QString record = writeEdfOf(QStringLiteral("rec.edf"), 180);
  const QString out = path(QStringLiteral("out"));
  blockWithFolder(QStringLiteral("out/rec.png"));
  const ToolResult result =
      runTool({"--force", "--to-text", out, "--export-csv", out, "--report", out, record});
  EXPECT_NE(result.exitCode, 0);
  EXPECT_NE((result.out + result.err).find("rec.png\" ("), std::string::npos)
      << result.out << result.err;
  EXPECT_EQ(test::namesIn(out.toStdString()), std::set<std::string>{"rec.png"});
}

}  // namespace
}  // namespace rrscope
