#include "ui/measure_captions.h"

namespace rrscope::ui {

std::string_view undefinedReasonText(hrv::Undefined reason) {
  using hrv::Undefined;
  switch (reason) {
    case Undefined::noIntervals:
      return "нет интервалов";
    case Undefined::fewerThanTwoIntervals:
      return "меньше 2 интервалов";
    case Undefined::fewerThanThreeIntervals:
      return "меньше 3 интервалов";
    case Undefined::nonPositiveInterval:
      return "есть неположительный интервал";
    case Undefined::zeroDenominator:
      return "знаменатель равен нулю";
    case Undefined::fewerThanTwoSegments:
      return "меньше двух полных 5-минутных отрезков";
    case Undefined::tooShortForSpectrum:
      return "меньше 4 интервалов или 64 с";
    case Undefined::noPowerInBand:
      return "в полосе нет мощности";
    case Undefined::noBinBelowPeak:
      return "нет столбца гистограммы левее пика";
    case Undefined::intervalBeyondHistogram:
      return "интервал длиннее 8192 с";
    case Undefined::fewerThanFourIntervals:
      return "меньше 4 интервалов";
    case Undefined::noTemplateMatches:
      return "нет совпадений шаблонов";
    case Undefined::fewerThan64Intervals:
      return "меньше 64 интервалов";
    case Undefined::fewerThan256Intervals:
      return "меньше 256 интервалов";
    case Undefined::allIntervalsEqual:
      return "все интервалы равны";
    case Undefined::noFluctuation:
      return "нет флуктуации при одном из размеров окна";
    case Undefined::longerThanAnHour:
      return "дольше 3600 с (считайте по окнам)";
    case Undefined::notAskedFor:
      return "не запрошен";
    case Undefined::intervalOutOfRange:
      return "интервал вне пределов от 10 мс до 3600 с";
    case Undefined::lambdaOutOfRange:
      return "λ сглаживания вне пределов от 10 до 1000000";
  }
  return "";
}

}  // namespace rrscope::ui
