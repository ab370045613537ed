#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "recordings/read_recording.h"
#include "recordings/wfdb_writer.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/error_of.h"

namespace rrscope::recordings {

// Reading `path` fails with a one-line message that starts with `file` and
// names the problem.
inline void expectErrorReading(const std::string& path, std::string_view file,
                               std::string_view problem, const ChannelRequest& channel = {}) {
  const std::string message = errorOf([&] { readWfdbRecording(path, channel); });
  EXPECT_EQ(message.find('\n'), std::string::npos) << message;
  EXPECT_EQ(message.rfind(file, 0), 0u) << message;
  EXPECT_NE(message.find(problem), std::string::npos) << message;
}

// A sound record r of two signals, ten frames of 7, and headers written
// over it case by case.
class WfdbRecordTest : public ::testing::Test {
 protected:
  explicit WfdbRecordTest(int format = 16) {
    writeWfdbRecord(folder_ / "r", {{360, 1}, format, 200.0, 0, {"MLII", "V5"}, {adc_, adc_}});
  }
  void header(std::string_view text) const { folder_.write("r.hea", text); }
  std::string headerPath() const { return (folder_ / "r.hea").string(); }
  std::string dataPath() const { return (folder_ / "r.dat").string(); }

  // The same for the record under the header `text`.
  void expectError(std::string_view text, std::string_view file, std::string_view problem,
                   const ChannelRequest& channel = {}) const {
    header(text);
    expectErrorReading(headerPath(), file, problem, channel);
  }

  test::TempFolder folder_;
  std::vector<std::int16_t> adc_ = std::vector<std::int16_t>(10, 7);
};

}  // namespace rrscope::recordings
