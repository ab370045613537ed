#include "analysis/error_sentence.h"

#include <array>
#include <cstring>

#include "text/number_text.h"

namespace rrscope::analysis {
namespace {

constexpr std::array<std::string_view, 9> kParameterOptions = {
    "--threshold", "--guard",      "--rhythm-x", "--rhythm-y", "--scatter-y",
    "--scatter-x", "--pulse-gain", "--pulse-x",  "--tau"};

std::string quoted(std::string_view text) {
  std::string out(1, '"');
  out.append(text);
  out += '"';
  return out;
}

std::string number(std::int64_t value) {
  return std::to_string(value);
}

// The option with the text it was given: --threshold "0.4".
std::string option(const FieldText& field) {
  return std::string(parameterOption(field.box)) + " " + quoted(field.text);
}

std::string chartName(Picture chart) {
  switch (chart) {
    case Picture::Picture1:
      return "rhythmogram";
    case Picture::Picture2:
      return "scattergram";
    case Picture::Picture3:
      return "pulse chart";
    case Picture::Picture4:
      return "histogram";
    case Picture::Picture5:
      return "correlation chart";
  }
  return "chart";
}

std::string seriesName(Series series) {
  switch (series) {
    case Series::sampleLines:
      return "samples";
    case Series::peakTimes:
      return "R peak times";
    case Series::rrIntervals:
      return "RR intervals";
  }
  return "series";
}

// The caption as the figures name it.
std::string captionName(Caption label) {
  switch (label) {
    case Caption::sam:
      return "sam";
    case Caption::TR:
      return "TR";
    case Caption::Label8:
      return "Label8";
    case Caption::Label16:
      return "Label16";
    case Caption::Label21:
      return "Label21";
    case Caption::Label22:
      return "Label22";
  }
  return "caption";
}

std::string systemReason(const ErrorFacts& facts) {
  return " (" + std::string(std::strerror(facts.systemError)) + ")";
}

std::string lowerThreshold(const ErrorFacts& facts) {
  return "lower " + std::string(parameterOption(TextBox::Text1)) + " (now " +
         quoted(facts.fields.at(0).text) + ") or check the file";
}

std::string binOverflow(const ErrorFacts& facts) {
  const std::string where =
      facts.chart == Picture::Picture4
          ? "RR intervals fall into the histogram bin from " +
                text::reportNumberText(facts.value, 2) + " s"
          : "RR interval differences fall into the correlation window around " +
                text::reportNumberText(facts.value, 2) + " s";
  return "more than " + number(facts.limit) + " " + where + ": with " + option(facts.fields.at(0)) +
         " and " + option(facts.fields.at(1)) +
         " nearly every sample counts as an R peak; raise --threshold or lengthen --guard";
}

std::string chartBeyondRange(const ErrorFacts& facts) {
  const FieldText& scale = facts.fields.at(0);
  std::string advice = "give a smaller value";
  if (scale.box == TextBox::Text7) advice += " or check the sample values";
  return "the " + chartName(*facts.chart) + " cannot be drawn with " + option(scale) +
         ": its points lie beyond the range a chart can take; " + advice;
}

}  // namespace

std::string_view parameterOption(TextBox box) {
  return kParameterOptions[static_cast<std::size_t>(box)];
}

std::string errorMessage(const ErrorFacts& facts) {
  switch (facts.cause) {
    case ErrorCause::noFileChosen:
      return "no file name was given; name a sample file";
    case ErrorCause::fileNotOpened:
      return quoted(facts.file) + " cannot be opened" + systemReason(facts) +
             "; name an existing, readable sample file";
    case ErrorCause::fileIsFolder:
      return quoted(facts.file) + " is a folder; name a sample file";
    case ErrorCause::readFailed:
      return "reading " + quoted(facts.file) + " failed after " + number(facts.count) + " bytes" +
             systemReason(facts) + "; check the file and the device it is on";
    case ErrorCause::tooManyLines:
      return "the file has more than " + number(facts.limit) +
             " lines, the most a sample file may have; split it into files of at most " +
             number(facts.limit) + " lines";
    case ErrorCause::fileIsDevice:
      return quoted(facts.file) + " is a device, not a file; name a sample file";
    case ErrorCause::pipeWithoutWriter:
      return quoted(facts.file) +
             " is a pipe that no program writes to; start the program that writes the samples "
             "first, or name a sample file";
    case ErrorCause::lineTooLong:
      return "line " + number(facts.line) + " is longer than " + number(facts.limit >> 20) +
             " MB, far beyond any sample, so reading stopped there; name a sample file with one "
             "value per line";
    case ErrorCause::outOfMemory:
      return "there was not enough memory to go on; close other programs or analyse a shorter "
             "recording";
    case ErrorCause::parameterBeyondRange:
      return option(facts.fields.at(0)) + " lies beyond the range of numbers; give a smaller value";
    case ErrorCause::captionBeyondRange:
      return "the caption " + captionName(*facts.caption) + " (" + quoted(facts.text) +
             ") lies beyond the range of numbers; analyse the file again";
    case ErrorCause::sampleBeyondRange:
      return "the sample on line " + number(facts.line) + " (" + quoted(facts.text) +
             ") lies beyond the range of numbers; correct that line of the file";
    case ErrorCause::guardBeyondRange:
      return option(facts.fields.at(0)) +
             " is too long a guard interval to count in samples; give a smaller value";
    case ErrorCause::positionOutOfRange:
      return "position " + number(facts.count) + " of the " + seriesName(*facts.series) +
             " lies outside 1 to " + number(facts.limit) + "; check the parameters";
    case ErrorCause::tooFewPeaks:
      return "fewer than two R peaks were found; " + lowerThreshold(facts);
    case ErrorCause::noSamples:
      return "the file holds no samples, so no R peak was found; analyse a file with samples";
    case ErrorCause::noFileLoaded:
      return "no sample file was loaded, so there is nothing to analyse; open a file with samples";
    case ErrorCause::noIntervals:
      return "only two R peaks were found, which leave no RR interval to analyse; " +
             lowerThreshold(facts);
    case ErrorCause::zeroObservationTime:
      return "the analysed RR intervals last 0 s, so no mean heart rate can be taken; " +
             lowerThreshold(facts);
    case ErrorCause::heartRateBeyondRange:
      return "the mean heart rate lies beyond the range of numbers; " + lowerThreshold(facts);
    case ErrorCause::chartBeyondRange:
      return chartBeyondRange(facts);
    case ErrorCause::binOverflow:
      return binOverflow(facts);
    case ErrorCause::shiftNotANumber:
      return option(facts.fields.at(0)) +
             " is not a number; give a whole number of intervals such as 1";
    case ErrorCause::shiftOutOfRange:
      return option(facts.fields.at(0)) + " lies outside " + number(-facts.limit - 1) + " to " +
             number(facts.limit) + "; give a smaller shift";
    case ErrorCause::shiftPairsOutside:
      return option(facts.fields.at(0)) + " pairs RR interval " + number(facts.count) +
             " with a position outside 1 to " + number(facts.limit) + "; give a shift of 0 or more";
    case ErrorCause::debugIndexOverflow:
      return "the debug index cannot go beyond " + number(facts.limit) + "; page back with \"<\"";
    case ErrorCause::tooFewBeats:
      return "the beat detector found " + number(facts.count) +
             " R peaks, fewer than two; check that the file holds an ECG at the rate assumed";
    case ErrorCause::inputNotRead:
      return quoted(facts.file) + " cannot be read (" + facts.reason + ")";
    case ErrorCause::inputLineInvalid:
      return "line " + number(facts.line) + " of " + quoted(facts.file) + " (" +
             quoted(facts.text) + ") " + facts.reason + "; correct that line";
  }
  return "the analysis stopped";
}

}  // namespace rrscope::analysis
