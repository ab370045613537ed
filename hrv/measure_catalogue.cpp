#include "hrv/measure_catalogue.h"

#include <algorithm>
#include <array>

namespace rrscope::hrv {
namespace {

constexpr std::array<UnitTexts, 7> kUnits{{
    {"-", "", ""},
    {"ms", "мс", "мс"},
    {"ms^2", "мс²", "мс²"},
    {"beats/min", "уд/мин", "уд/мин"},
    {"%", "%", "%"},
    {"Hz", "Гц", "Гц"},
    {"-", "н. е.", "n.u."},
}};

constexpr std::array<MeasureEntry, kMeasureCount> kCatalogue{{
    {Measure::meanNn, "mean_nn_ms", Unit::ms, std::nullopt, "mean of the intervals", "Среднее NN",
     "Среднее арифметическое RR-интервалов", 1, "Средний NN"},
    {Measure::medianNn, "median_nn_ms", Unit::ms, std::nullopt, "median", "Медиана NN",
     "Медиана RR-интервалов", 1, "Медиана NN"},
    {Measure::iqrNn, "iqr_nn_ms", Unit::ms, std::nullopt,
     "interquartile range, quartiles interpolated between ranks", "Межквартильный размах NN",
     "Разность 75-го и 25-го процентилей интервалов (линейная интерполяция)", 1,
     "Межквартильный размах NN"},
    {Measure::sdnn, "sdnn_ms", Unit::ms, std::nullopt, "standard deviation, dividing by N - 1",
     "SDNN", "Стандартное отклонение интервалов (делитель N − 1)", 2, "SDNN"},
    {Measure::cvnn, "cvnn", Unit::none, std::nullopt, "SDNN / mean NN", "CVNN",
     "SDNN, делённое на среднее NN", 4, "CVNN"},
    {Measure::rmssd, "rmssd_ms", Unit::ms, std::nullopt,
     "root mean square of the successive differences", "RMSSD",
     "Корень из среднего квадрата разностей соседних интервалов", 2, "RMSSD"},
    {Measure::sdsd, "sdsd_ms", Unit::ms, std::nullopt,
     "standard deviation (N - 1) of the successive differences", "SDSD",
     "Стандартное отклонение разностей соседних интервалов (делитель N − 1)", 2, "SDSD"},
    {Measure::nn50, "nn50", Unit::none, std::nullopt, "successive differences strictly above 50 ms",
     "NN50", "Число пар соседних интервалов, различающихся больше чем на 50 мс", 0, "NN50"},
    {Measure::nn20, "nn20", Unit::none, std::nullopt, "successive differences strictly above 20 ms",
     "NN20", "Число пар соседних интервалов, различающихся больше чем на 20 мс", 0, "NN20"},
    {Measure::pnn50, "pnn50_pct", Unit::percent, std::nullopt, "nn50 as a percentage of N", "pNN50",
     "NN50 в процентах от числа интервалов", 2, "pNN50"},
    {Measure::pnn20, "pnn20_pct", Unit::percent, std::nullopt, "nn20 as a percentage of N", "pNN20",
     "NN20 в процентах от числа интервалов", 2, "pNN20"},
    {Measure::meanHr, "mean_hr_bpm", Unit::bpm, std::nullopt,
     "mean of the rates 60000 / NN (not 60000 / mean NN)", "Средняя ЧСС",
     "Среднее мгновенных частот 60000 / NN (не 60000 / среднее NN)", 1, "Cредняя ЧСС"},
    {Measure::minHr, "min_hr_bpm", Unit::bpm, std::nullopt, "lowest rate 60000 / NN",
     "Минимальная ЧСС", "Наименьшая мгновенная частота 60000 / NN", 1, "Минимальная ЧСС"},
    {Measure::maxHr, "max_hr_bpm", Unit::bpm, std::nullopt, "highest rate 60000 / NN",
     "Максимальная ЧСС", "Наибольшая мгновенная частота 60000 / NN", 1, "Максимальная ЧСС"},
    {Measure::sdann, "sdann_ms", Unit::ms, std::nullopt,
     "SD of the means of 5-minute segments by the clock", "SDANN",
     "Стандартное отклонение средних по полным 5-минутным отрезкам", 2, "SDANN (5 мин)"},
    {Measure::sdnni, "sdnni_ms", Unit::ms, std::nullopt, "mean of the SDs of 5-minute segments",
     "Индекс SDNN", "Среднее стандартных отклонений по полным 5-минутным отрезкам", 2,
     "SDNN index (5 мин)"},
    {Measure::hti, "hti", Unit::none, std::nullopt,
     "N / highest count of bins of 7.8125 ms anchored at 0", "Триангулярный индекс",
     "Число интервалов, делённое на высоту гистограммы со столбцами 1/128 с", 2,
     "Триангулярный индекс"},
    {Measure::tinn, "tinn_ms", Unit::ms, std::nullopt,
     "base M - N of the least-squares triangle on those bins", "TINN",
     "Основание треугольника, по МНК приближающего гистограмму", 2, "TINN"},
    {Measure::sd1, "sd1_ms", Unit::ms, std::nullopt,
     "Poincare SD (N - 1) of (x[n] - x[n+1]) / sqrt 2", "SD1",
     "Разброс точек скаттерграммы поперёк линии тождества", 2, "SD1"},
    {Measure::sd2, "sd2_ms", Unit::ms, std::nullopt,
     "Poincare SD (N - 1) of (x[n] + x[n+1]) / sqrt 2", "SD2",
     "Разброс точек скаттерграммы вдоль линии тождества", 2, "SD2"},
    {Measure::sd1Sd2, "sd1_sd2", Unit::none, std::nullopt, "SD1 / SD2", "SD1/SD2",
     "Отношение SD1 к SD2", 4, "SD1/SD2"},
    {Measure::poincareArea, "poincare_area_ms2", Unit::ms2, std::nullopt, "pi SD1 SD2",
     "Площадь эллипса", "π · SD1 · SD2", 0, "Площадь эллипса"},
    {Measure::vlf, "vlf_ms2", Unit::ms2, kVlfBand,
     "power 0.0033-0.04 Hz, Welch on the 4 Hz cubic-spline series", "VLF",
     "Мощность спектра в полосе 0,0033–0,04 Гц", 1, "VLF, 0,0033–0,04 Гц"},
    {Measure::lf, "lf_ms2", Unit::ms2, kLfBand, "power 0.04-0.15 Hz", "LF",
     "Мощность спектра в полосе 0,04–0,15 Гц", 1, "LF, 0,04–0,15 Гц"},
    {Measure::hf, "hf_ms2", Unit::ms2, kHfBand, "power 0.15-0.4 Hz", "HF",
     "Мощность спектра в полосе 0,15–0,4 Гц", 1, "HF, 0,15–0,4 Гц"},
    {Measure::totalPower, "total_power_ms2", Unit::ms2, std::nullopt, "VLF + LF + HF",
     "Общая мощность", "VLF + LF + HF", 1, "Общая мощность"},
    {Measure::lfHf, "lf_hf", Unit::none, std::nullopt, "LF / HF", "LF/HF",
     "Отношение мощностей LF и HF", 3, "LF/HF"},
    {Measure::lfNu, "lf_nu", Unit::normalized, std::nullopt, "100 LF / (LF + HF)", "LF норм.",
     "100 · LF / (LF + HF)", 1, "LF норм."},
    {Measure::hfNu, "hf_nu", Unit::normalized, std::nullopt, "100 HF / (LF + HF)", "HF норм.",
     "100 · HF / (LF + HF)", 1, "HF норм."},
    {Measure::lfPeak, "lf_peak_hz", Unit::hz, kLfBand, "first frequency of highest density in LF",
     "Пик LF", "Частота наибольшей спектральной плотности в полосе LF", 4, "Пик LF"},
    {Measure::hfPeak, "hf_peak_hz", Unit::hz, kHfBand, "first frequency of highest density in HF",
     "Пик HF", "Частота наибольшей спектральной плотности в полосе HF", 4, "Пик HF"},
    {Measure::sampen, "sampen", Unit::none, std::nullopt,
     "sample entropy, m = 2, r = sampen_r_ms, matches at distance <= r", "SampEn",
     "Выборочная энтропия −ln(A/B): шаблоны из 2 и 3 интервалов, совпадение при расстоянии ≤ r", 3,
     "SampEn (m = 2)"},
    {Measure::sampenR, "sampen_r_ms", Unit::ms, std::nullopt, "the tolerance r = 0.2 SDNN",
     "Допуск r", "Допуск энтропий r = 0,2 · SDNN", 2, "Допуск r = 0,2 · SDNN"},
    {Measure::apen, "apen", Unit::none, std::nullopt, "approximate entropy, m = 2, same r, signed",
     "ApEn", "Приближённая энтропия Φ² − Φ³ (по Пинкусу, с собственными совпадениями)", 3,
     "ApEn (m = 2)"},
    {Measure::dfaAlpha1, "dfa_alpha1", Unit::none, std::nullopt,
     "DFA slope over boxes of 4-16 beats, non-overlapping", "DFA α1",
     "Наклон log F(n) по log n, окна из 4–16 интервалов (анализ флуктуаций без тренда)", 3,
     "DFA α1 (4–16)"},
    {Measure::dfaAlpha2, "dfa_alpha2", Unit::none, std::nullopt,
     "DFA slope over boxes of 16-64 beats", "DFA α2",
     "Наклон log F(n) по log n, окна из 16–64 интервалов", 3, "DFA α2 (16–64)"},
    {Measure::arVlf, "ar_vlf_ms2", Unit::ms2, kVlfBand, "", "VLF (АР)",
     "Мощность АР-спектра (Бёрг, порядок 16) в полосе 0,0033–0,04 Гц", 1, "VLF"},
    {Measure::arLf, "ar_lf_ms2", Unit::ms2, kLfBand, "", "LF (АР)",
     "Мощность АР-спектра в полосе 0,04–0,15 Гц", 1, "LF"},
    {Measure::arHf, "ar_hf_ms2", Unit::ms2, kHfBand, "", "HF (АР)",
     "Мощность АР-спектра в полосе 0,15–0,4 Гц", 1, "HF"},
    {Measure::arTotalPower, "ar_total_power_ms2", Unit::ms2, std::nullopt, "",
     "Общая мощность (АР)", "VLF + LF + HF АР-спектра", 1, "Общая мощность"},
    {Measure::arLfHf, "ar_lf_hf", Unit::none, std::nullopt, "", "LF/HF (АР)",
     "Отношение мощностей LF и HF АР-спектра", 3, "LF/HF"},
    {Measure::arLfNu, "ar_lf_nu", Unit::normalized, std::nullopt, "", "LF норм. (АР)",
     "100 · LF / (LF + HF) АР-спектра", 1, "LF норм."},
    {Measure::arHfNu, "ar_hf_nu", Unit::normalized, std::nullopt, "", "HF норм. (АР)",
     "100 · HF / (LF + HF) АР-спектра", 1, "HF норм."},
    {Measure::arLfPeak, "ar_lf_peak_hz", Unit::hz, kLfBand, "", "Пик LF (АР)",
     "Частота наибольшей плотности АР-спектра в полосе LF", 4, "Пик LF"},
    {Measure::arHfPeak, "ar_hf_peak_hz", Unit::hz, kHfBand, "", "Пик HF (АР)",
     "Частота наибольшей плотности АР-спектра в полосе HF", 4, "Пик HF"},
    {Measure::lsVlf, "ls_vlf_ms2", Unit::ms2, kVlfBand, "", "VLF (Л–С)",
     "Мощность периодограммы Ломба–Скаргла по моментам ударов в полосе 0,0033–0,04 Гц", 1, "VLF"},
    {Measure::lsLf, "ls_lf_ms2", Unit::ms2, kLfBand, "", "LF (Л–С)",
     "Мощность периодограммы Ломба–Скаргла в полосе 0,04–0,15 Гц", 1, "LF"},
    {Measure::lsHf, "ls_hf_ms2", Unit::ms2, kHfBand, "", "HF (Л–С)",
     "Мощность периодограммы Ломба–Скаргла в полосе 0,15–0,4 Гц", 1, "HF"},
    {Measure::lsTotalPower, "ls_total_power_ms2", Unit::ms2, std::nullopt, "",
     "Общая мощность (Л–С)", "VLF + LF + HF периодограммы Ломба–Скаргла", 1, "Общая мощность"},
    {Measure::lsLfHf, "ls_lf_hf", Unit::none, std::nullopt, "", "LF/HF (Л–С)",
     "Отношение мощностей LF и HF периодограммы Ломба–Скаргла", 3, "LF/HF"},
    {Measure::lsLfNu, "ls_lf_nu", Unit::normalized, std::nullopt, "", "LF норм. (Л–С)",
     "100 · LF / (LF + HF) периодограммы Ломба–Скаргла", 1, "LF норм."},
    {Measure::lsHfNu, "ls_hf_nu", Unit::normalized, std::nullopt, "", "HF норм. (Л–С)",
     "100 · HF / (LF + HF) периодограммы Ломба–Скаргла", 1, "HF норм."},
    {Measure::lsLfPeak, "ls_lf_peak_hz", Unit::hz, kLfBand, "", "Пик LF (Л–С)",
     "Частота наибольшей плотности периодограммы в полосе LF", 4, "Пик LF"},
    {Measure::lsHfPeak, "ls_hf_peak_hz", Unit::hz, kHfBand, "", "Пик HF (Л–С)",
     "Частота наибольшей плотности периодограммы в полосе HF", 4, "Пик HF"},

}};

constexpr std::array<ReasonTexts, 20> kReasons{{
    {Undefined::noIntervals, "no intervals", "нет интервалов"},
    {Undefined::fewerThanTwoIntervals, "fewer than 2 intervals", "меньше 2 интервалов"},
    {Undefined::fewerThanThreeIntervals, "fewer than 3 intervals", "меньше 3 интервалов"},
    {Undefined::nonPositiveInterval, "an interval is not a positive number",
     "есть неположительный интервал"},
    {Undefined::zeroDenominator, "zero denominator", "знаменатель равен нулю"},
    {Undefined::fewerThanTwoSegments, "fewer than 2 filled 5-minute segments of 2 intervals",
     "меньше двух полных 5-минутных отрезков"},
    {Undefined::tooShortForSpectrum, "fewer than 4 intervals or 64 s",
     "меньше 4 интервалов или 64 с"},
    {Undefined::noPowerInBand, "no power in the band", "в полосе нет мощности"},
    {Undefined::noBinBelowPeak, "no histogram bin below the highest",
     "нет столбца гистограммы левее пика"},
    {Undefined::intervalBeyondHistogram, "an interval longer than 8192 s",
     "интервал длиннее 8192 с"},
    {Undefined::fewerThanFourIntervals, "fewer than 4 intervals", "меньше 4 интервалов"},
    {Undefined::noTemplateMatches, "no template matches", "нет совпадений шаблонов"},
    {Undefined::fewerThan64Intervals, "fewer than 64 intervals", "меньше 64 интервалов"},
    {Undefined::fewerThan256Intervals, "fewer than 256 intervals", "меньше 256 интервалов"},
    {Undefined::allIntervalsEqual, "all intervals are equal", "все интервалы равны"},
    {Undefined::noFluctuation, "a box size without fluctuation",
     "нет флуктуации при одном из размеров окна"},
    {Undefined::longerThanAnHour, "longer than 3600 s (use windows)",
     "дольше 3600 с (считайте по окнам)"},
    {Undefined::notAskedFor, "not asked for", "не запрошен"},
    {Undefined::intervalOutOfRange, "an interval outside 10 ms to 3600 s",
     "интервал вне пределов от 10 мс до 3600 с"},
    {Undefined::lambdaOutOfRange, "the smoothness-priors lambda lies outside 10 to 1000000",
     "λ сглаживания вне пределов от 10 до 1000000"},
}};

// Rows are found by their number: a row out of place would name another
// measure, or give another reason, everywhere at once.
template <typename Row, std::size_t n, typename Number>
constexpr bool inOrder(const std::array<Row, n>& rows, Number Row::*number) {
  for (std::size_t i = 0; i < n; ++i) {
    if (static_cast<std::size_t>(rows[i].*number) != i) return false;
  }
  return true;
}
static_assert(inOrder(kCatalogue, &MeasureEntry::measure));
static_assert(inOrder(kReasons, &ReasonTexts::reason));

}  // namespace

const UnitTexts& unitTexts(Unit unit) {
  return kUnits[static_cast<std::size_t>(unit)];
}

const MeasureEntry& measureEntry(Measure measure) {
  return kCatalogue[static_cast<std::size_t>(measure)];
}

const MeasureEntry* measureEntryOfKey(std::string_view key) {
  const auto found = std::ranges::find(kCatalogue, key, &MeasureEntry::key);
  return found == kCatalogue.end() ? nullptr : &*found;
}

const ReasonTexts& reasonTexts(Undefined reason) {
  return kReasons[static_cast<std::size_t>(reason)];
}

std::string_view undefinedText(Undefined reason) {
  return reasonTexts(reason).plain;
}

std::string_view measureKey(Measure measure) {
  return measureEntry(measure).key;
}

}  // namespace rrscope::hrv
