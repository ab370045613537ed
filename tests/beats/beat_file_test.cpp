#include "beats/beat_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rrscope::beats {
namespace {

TEST(BeatFile, ReadsOneBasedPositionsAsSampleIndices) {
  EXPECT_EQ(parseBeatPositions("1284\n2090.5\r\n# comment\n\n  3001 \r4000"),
            (std::vector<double>{1283, 2089.5, 3000, 3999}));
  EXPECT_EQ(parseBeatPositions("300\n100\n"), (std::vector<double>{99, 299}));
  EXPECT_TRUE(parseBeatPositions("").empty());
}

TEST(BeatFile, NamesTheFirstLineThatHoldsNoPosition) {
  for (const auto& [text, line] :
       std::vector<std::pair<std::string, std::size_t>>{{"10\n20\nabc\n", 3},
                                                        {"10\r\n\r\n12 13\n", 3},
                                                        {"0\n", 1},
                                                        {"5\n-4\n", 2},
                                                        {"7\n8x\n", 2},
                                                        {"nan\n", 1}}) {
    try {
      parseBeatPositions(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const BeatFileError& error) {
      EXPECT_EQ(error.line(), line) << text;
      EXPECT_FALSE(error.text().empty()) << text;
    }
  }
  EXPECT_THROW(readBeatFile("/nonexistent/beats"), BeatFileError);
  EXPECT_THROW(readBeatFile("/"), BeatFileError);
}

}  // namespace
}  // namespace rrscope::beats
