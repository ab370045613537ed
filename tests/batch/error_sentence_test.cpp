// The batch tool's English reports, worded from the facts of an error.
#include "analysis/error_sentence.h"

#include <gtest/gtest.h>

#include <regex>

namespace rrscope::batch {
namespace {

// One example of every cause, with every fact it names filled in.
std::vector<ErrorFacts> everyCause() {
  const std::vector<FieldText> threshold = {{TextBox::Text1, "0.4"}};
  return {
      {.cause = ErrorCause::noFileChosen},
      {.cause = ErrorCause::fileNotOpened, .file = "a.txt", .systemError = ENOENT},
      {.cause = ErrorCause::fileIsFolder, .file = "rec"},
      {.cause = ErrorCause::readFailed, .file = "a.txt", .count = 12, .systemError = EIO},
      {.cause = ErrorCause::tooManyLines, .limit = 10'000'000},
      {.cause = ErrorCause::parameterBeyondRange, .fields = {{TextBox::Text6, "1e999"}}},
      {.cause = ErrorCause::captionBeyondRange, .caption = Caption::sam, .text = "1e999"},
      {.cause = ErrorCause::sampleBeyondRange, .text = "1e999", .line = 7},
      {.cause = ErrorCause::guardBeyondRange, .fields = {{TextBox::Text2, "1e306"}}},
      {.cause = ErrorCause::positionOutOfRange,
       .series = Series::peakTimes,
       .count = 10'000'001,
       .limit = 10'000'000},
      {.cause = ErrorCause::tooFewPeaks, .fields = threshold, .count = 1},
      {.cause = ErrorCause::noSamples, .fields = threshold},
      {.cause = ErrorCause::noFileLoaded, .fields = threshold},
      {.cause = ErrorCause::noIntervals, .fields = threshold, .count = 2},
      {.cause = ErrorCause::zeroObservationTime, .fields = threshold, .count = 5},
      {.cause = ErrorCause::heartRateBeyondRange, .fields = threshold, .count = 5},
      {.cause = ErrorCause::chartBeyondRange,
       .fields = {{TextBox::Text7, "1e40"}},
       .chart = Picture::Picture3},
      {.cause = ErrorCause::binOverflow,
       .fields = {{TextBox::Text1, "-1"}, {TextBox::Text2, "0"}},
       .chart = Picture::Picture5,
       .count = 40000,
       .limit = 32767,
       .value = -5.84254866708989E-15},
      {.cause = ErrorCause::shiftNotANumber, .fields = {{TextBox::Text9, "abc"}}},
      {.cause = ErrorCause::shiftOutOfRange, .fields = {{TextBox::Text9, "40000"}}, .limit = 32767},
      {.cause = ErrorCause::shiftPairsOutside,
       .fields = {{TextBox::Text9, "-5"}},
       .count = 1,
       .limit = 10'000'000},
      {.cause = ErrorCause::debugIndexOverflow, .limit = 32767},
  };
}

TEST(BatchErrorText, EveryCauseNamesOptionsAndNoControlOrFunction) {
  const std::regex internal(
      R"(Text[0-9]|Label[0-9]|Picture[0-9]|Command[0-9]|PeakTimes|RRIntervals|SampleLines|[a-z][A-Z])");
  for (const ErrorFacts& facts : everyCause()) {
    const std::string message = errorMessage(facts);
    SCOPED_TRACE(message);
    EXPECT_FALSE(std::regex_search(message, internal));
    EXPECT_NE(message.find("; "), std::string::npos);  // what happened; what to do
    // Without samples the threshold is not to blame and goes unnamed.
    if (facts.cause == ErrorCause::noSamples || facts.cause == ErrorCause::noFileLoaded) continue;
    for (const FieldText& field : facts.fields) {
      EXPECT_NE(message.find(parameterOption(field.box)), std::string::npos);
      EXPECT_NE(message.find("\"" + field.text + "\""), std::string::npos);
    }
  }
}

TEST(BatchErrorText, AdviceFitsTheCause) {
  const auto messageOf = [](ErrorCause cause) {
    for (const ErrorFacts& facts : everyCause()) {
      if (facts.cause == cause) return errorMessage(facts);
    }
    return std::string();
  };
  // Every sample a peak: the parameters are to blame, not the recording.
  const std::string bins = messageOf(ErrorCause::binOverflow);
  EXPECT_NE(bins.find("window around 0.00 s"), std::string::npos);
  EXPECT_NE(bins.find("raise --threshold or lengthen --guard"), std::string::npos);
  EXPECT_EQ(bins.find("recording"), std::string::npos);

  // Without samples the advice is a file with samples, not the threshold.
  const std::string unloaded = messageOf(ErrorCause::noFileLoaded);
  EXPECT_NE(unloaded.find("open a file with samples"), std::string::npos);
  EXPECT_EQ(unloaded.find("--threshold"), std::string::npos);
}

}  // namespace
}  // namespace rrscope::batch
