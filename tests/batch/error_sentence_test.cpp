// The batch tool's English reports, worded from the facts of an error.
#include "analysis/error_sentence.h"

#include <gtest/gtest.h>

#include <regex>

namespace rrscope::batch {
namespace {

// One example of every cause, with every fact it names filled in.
std::vector<analysis::ErrorFacts> everyCause() {
  const std::vector<analysis::FieldText> threshold = {{analysis::TextBox::Text1, "0.4"}};
  return {
      {.cause = analysis::ErrorCause::noFileChosen},
      {.cause = analysis::ErrorCause::fileNotOpened, .file = "a.txt", .systemError = ENOENT},
      {.cause = analysis::ErrorCause::fileIsFolder, .file = "rec"},
      {.cause = analysis::ErrorCause::readFailed, .file = "a.txt", .count = 12, .systemError = EIO},
      {.cause = analysis::ErrorCause::tooManyLines, .limit = 10'000'000},
      {.cause = analysis::ErrorCause::parameterBeyondRange,
       .fields = {{analysis::TextBox::Text6, "1e999"}}},
      {.cause = analysis::ErrorCause::captionBeyondRange,
       .caption = analysis::Caption::sam,
       .text = "1e999"},
      {.cause = analysis::ErrorCause::sampleBeyondRange, .text = "1e999", .line = 7},
      {.cause = analysis::ErrorCause::guardBeyondRange,
       .fields = {{analysis::TextBox::Text2, "1e306"}}},
      {.cause = analysis::ErrorCause::positionOutOfRange,
       .series = analysis::Series::peakTimes,
       .count = 10'000'001,
       .limit = 10'000'000},
      {.cause = analysis::ErrorCause::tooFewPeaks, .fields = threshold, .count = 1},
      {.cause = analysis::ErrorCause::noSamples, .fields = threshold},
      {.cause = analysis::ErrorCause::noFileLoaded, .fields = threshold},
      {.cause = analysis::ErrorCause::noIntervals, .fields = threshold, .count = 2},
      {.cause = analysis::ErrorCause::zeroObservationTime, .fields = threshold, .count = 5},
      {.cause = analysis::ErrorCause::heartRateBeyondRange, .fields = threshold, .count = 5},
      {.cause = analysis::ErrorCause::chartBeyondRange,
       .fields = {{analysis::TextBox::Text7, "1e40"}},
       .chart = analysis::Picture::Picture3},
      {.cause = analysis::ErrorCause::binOverflow,
       .fields = {{analysis::TextBox::Text1, "-1"}, {analysis::TextBox::Text2, "0"}},
       .chart = analysis::Picture::Picture5,
       .count = 40000,
       .limit = 32767,
       .value = -5.84254866708989E-15},
      {.cause = analysis::ErrorCause::shiftNotANumber,
       .fields = {{analysis::TextBox::Text9, "abc"}}},
      {.cause = analysis::ErrorCause::shiftOutOfRange,
       .fields = {{analysis::TextBox::Text9, "40000"}},
       .limit = 32767},
      {.cause = analysis::ErrorCause::shiftPairsOutside,
       .fields = {{analysis::TextBox::Text9, "-5"}},
       .count = 1,
       .limit = 10'000'000},
      {.cause = analysis::ErrorCause::debugIndexOverflow, .limit = 32767},
  };
}

TEST(BatchErrorText, EveryCauseNamesOptionsAndNoControlOrFunction) {
  const std::regex internal(
      R"(Text[0-9]|Label[0-9]|Picture[0-9]|Command[0-9]|PeakTimes|RRIntervals|SampleLines|[a-z][A-Z])");
  for (const analysis::ErrorFacts& facts : everyCause()) {
    const std::string message = errorMessage(facts);
    SCOPED_TRACE(message);
    EXPECT_FALSE(std::regex_search(message, internal));
    EXPECT_NE(message.find("; "), std::string::npos);  // what happened; what to do
    // Without samples the threshold is not to blame and goes unnamed.
    if (facts.cause == analysis::ErrorCause::noSamples ||
        facts.cause == analysis::ErrorCause::noFileLoaded)
      continue;
    for (const analysis::FieldText& field : facts.fields) {
      EXPECT_NE(message.find(parameterOption(field.box)), std::string::npos);
      EXPECT_NE(message.find("\"" + field.text + "\""), std::string::npos);
    }
  }
}

TEST(BatchErrorText, AdviceFitsTheCause) {
  const auto messageOf = [](analysis::ErrorCause cause) {
    for (const analysis::ErrorFacts& facts : everyCause()) {
      if (facts.cause == cause) return errorMessage(facts);
    }
    return std::string();
  };
  // Every sample a peak: the parameters are to blame, not the recording.
  const std::string bins = messageOf(analysis::ErrorCause::binOverflow);
  EXPECT_NE(bins.find("window around 0.00 s"), std::string::npos);
  EXPECT_NE(bins.find("raise --threshold or lengthen --guard"), std::string::npos);
  EXPECT_EQ(bins.find("recording"), std::string::npos);

  // Without samples the advice is a file with samples, not the threshold.
  const std::string unloaded = messageOf(analysis::ErrorCause::noFileLoaded);
  EXPECT_NE(unloaded.find("open a file with samples"), std::string::npos);
  EXPECT_EQ(unloaded.find("--threshold"), std::string::npos);
}

}  // namespace
}  // namespace rrscope::batch
