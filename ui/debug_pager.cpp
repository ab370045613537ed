// The debug frame: three neighbouring RR intervals around DebugPage, in
// seconds, and their two differences.
#include <QLabel>
#include <QLocale>
#include <limits>

#include "text/number_text.h"
#include "ui/form1.h"

namespace rrscope {
namespace {

// DebugPage is a 16-bit number; stepping past its range is an overflow.
std::int16_t add16(std::int16_t value, int change) {
  const int sum = value + change;
  if (sum > std::numeric_limits<std::int16_t>::max() ||
      sum < std::numeric_limits<std::int16_t>::min()) {
    throw analysis::RunError({.cause = analysis::ErrorCause::debugIndexOverflow,
                              .limit = std::numeric_limits<std::int16_t>::max()});
  }
  return static_cast<std::int16_t>(sum);
}

}  // namespace

void Form1::nextDebugPage() {
  if (state_.DebugPage <= 1) return;
  try {
    state_.DebugPage = add16(state_.DebugPage, 1);
    refreshDebugFrame();
  } catch (const analysis::RunError& error) {
    reportError(analysis::RunReport{"nextDebugPage", error.facts()});
  }
}

void Form1::previousDebugPage() {
  if (state_.DebugPage <= 2) return;
  try {
    state_.DebugPage = add16(state_.DebugPage, -1);
    refreshDebugFrame();
  } catch (const analysis::RunError& error) {
    reportError(analysis::RunReport{"previousDebugPage", error.facts()});
  }
}

void Form1::refreshDebugFrame() {
  const std::int16_t i = state_.DebugPage;
  const auto show = [this](std::string_view name, const std::string& text) {
    label(name)->setText(QString::fromStdString(text));
  };
  // Each caption is written as soon as its value exists, so an overflow in
  // i + 1 leaves the indices before it shown and the rest as they were.
  show("Label30", text::wholeNumberText(i));
  const std::int16_t before = add16(i, -1);
  show("Label29", text::wholeNumberText(before));
  const std::int16_t after = add16(i, 1);
  show("Label31", text::wholeNumberText(after));

  const std::string separator = QLocale().decimalPoint().toStdString();
  const auto seconds = [this](std::int16_t position) {
    return state_.RRIntervals.at(position) / analysis::kSamplesPerSecond;
  };
  const double atI = seconds(i);
  show("Label33", text::localeNumberText(atI, separator));
  const double atAfter = seconds(after);
  show("Label34", text::localeNumberText(atAfter, separator));
  const double atBefore = seconds(before);
  show("Label32", text::localeNumberText(atBefore, separator));
  show("Label36", text::localeNumberText(atAfter - atI, separator));
  show("Label35", text::localeNumberText(atI - atBefore, separator));
}

}  // namespace rrscope
