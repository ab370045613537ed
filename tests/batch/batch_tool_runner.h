#pragma once

// Runs the built rrscope-batch as a user would and reads back what it wrote.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace rrscope::test {

// The lines of `text` without their line feeds.
inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

struct ToolResult {
  int exitCode = -1;  // -1 when the tool did not end by itself
  std::string out;
  std::string err;

  std::vector<std::string> outLines() const { return lines(out); }

  // Each line of the output read as JSON; a line that is none fails the test.
  std::vector<nlohmann::json> json() const {
    std::vector<nlohmann::json> result;
    for (const std::string& line : lines(out)) result.push_back(nlohmann::json::parse(line));
    return result;
  }
};

// Without a display the tool must find the offscreen platform by itself, so
// nothing in its environment names one. With `dataLimitBytes` the tool runs
// with that much heap at most (RLIMIT_DATA), as on a machine short of memory.
inline ToolResult runTool(const QStringList& arguments, rlim_t dataLimitBytes = RLIM_INFINITY) {
  QProcess process;
  if (dataLimitBytes != RLIM_INFINITY) {
    process.setChildProcessModifier([dataLimitBytes] {
      const rlimit limit{dataLimitBytes, dataLimitBytes};
      ::setrlimit(RLIMIT_DATA, &limit);
    });
  }
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(name);
  }
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(RRSCOPE_BATCH_TOOL), arguments);
  process.waitForFinished(120'000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

// The tool refused its command line, saying `says`, before it ran anything.
inline void expectUsageError(const ToolResult& result, std::string_view says) {
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find(says), std::string::npos) << result.err;
}

// The fields of a CSV row, unquoted.
inline std::vector<std::string> csvFields(std::string_view row) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < row.size(); ++i) {
    const char c = row[i];
    if (c == '"' && quoted && i + 1 < row.size() && row[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// A row's fields under the names of the header's columns; a row with
// another number of fields than the header fails the test.
inline std::map<std::string, std::string> csvRecord(std::string_view header, std::string_view row) {
  const std::vector<std::string> names = csvFields(header);
  const std::vector<std::string> fields = csvFields(row);
  EXPECT_EQ(fields.size(), names.size()) << row;
  std::map<std::string, std::string> record;
  for (std::size_t i = 0; i < names.size() && i < fields.size(); ++i) record[names[i]] = fields[i];
  return record;
}

inline std::string readFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in `dir`, none if there is no such folder: to see that no file
// was left behind.
inline std::set<std::string> namesIn(const std::filesystem::path& dir) {
  std::set<std::string> names;
  if (!std::filesystem::exists(dir)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A test with a folder of its own for the files it gives the tool.
class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

  QString path(const QString& name) const { return folder_.filePath(name); }

  QString writeFile(const QString& name, const std::string& content) const {
    std::ofstream(path(name).toStdString(), std::ios::binary) << content;
    return path(name);
  }

  // A sample file of `lines` lines of "0" with "1" at `peaks` (from 1): each
  // a single-sample R peak.
  QString writeSpikes(const QString& name, int lines, const std::set<int>& peaks) const {
    std::string content;
    for (int line = 1; line <= lines; ++line) content += peaks.contains(line) ? "1\n" : "0\n";
    return writeFile(name, content);
  }

  QTemporaryDir folder_;
};

}  // namespace rrscope::test
