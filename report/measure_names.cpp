#include "report/measure_names.h"

#include <cmath>

namespace rrscope::report {
namespace {

using hrv::Measure;

bool isCount(Measure measure) {
  return measure == Measure::nn50 || measure == Measure::nn20;
}

constexpr MeasureGroup kGroups[] = {
    {Measure::meanNn, "Временные показатели"},      {Measure::hti, "Геометрические показатели"},
    {Measure::sd1, "Скаттерграмма (Пуанкаре)"},     {Measure::vlf, "Частотные показатели (Уэлч)"},
    {Measure::sampen, "Нелинейные показатели"},     {Measure::arVlf, "Спектр (АР-модель)"},
    {Measure::lsVlf, "Периодограмма Ломба–Скаргла"}};

}  // namespace

std::span<const MeasureGroup> measureGroups() {
  return kGroups;
}

MeasureName measureName(Measure measure) {
  const QString ms = QStringLiteral("мс");
  const QString ms2 = QStringLiteral("мс²");
  const QString bpm = QStringLiteral("уд/мин");
  switch (measure) {
    case Measure::meanNn:
      return {QStringLiteral("Средний NN"), ms};
    case Measure::medianNn:
      return {QStringLiteral("Медиана NN"), ms};
    case Measure::iqrNn:
      return {QStringLiteral("Межквартильный размах NN"), ms};
    case Measure::sdnn:
      return {QStringLiteral("SDNN"), ms};
    case Measure::cvnn:
      return {QStringLiteral("CVNN"), {}};
    case Measure::rmssd:
      return {QStringLiteral("RMSSD"), ms};
    case Measure::sdsd:
      return {QStringLiteral("SDSD"), ms};
    case Measure::nn50:
      return {QStringLiteral("NN50"), {}};
    case Measure::nn20:
      return {QStringLiteral("NN20"), {}};
    case Measure::pnn50:
      return {QStringLiteral("pNN50"), QStringLiteral("%")};
    case Measure::pnn20:
      return {QStringLiteral("pNN20"), QStringLiteral("%")};
    case Measure::meanHr:
      return {QStringLiteral("Cредняя ЧСС"), bpm};
    case Measure::minHr:
      return {QStringLiteral("Минимальная ЧСС"), bpm};
    case Measure::maxHr:
      return {QStringLiteral("Максимальная ЧСС"), bpm};
    case Measure::sdann:
      return {QStringLiteral("SDANN (5 мин)"), ms};
    case Measure::sdnni:
      return {QStringLiteral("SDNN index (5 мин)"), ms};
    case Measure::hti:
      return {QStringLiteral("Триангулярный индекс"), {}};
    case Measure::tinn:
      return {QStringLiteral("TINN"), ms};
    case Measure::sd1:
      return {QStringLiteral("SD1"), ms};
    case Measure::sd2:
      return {QStringLiteral("SD2"), ms};
    case Measure::sd1Sd2:
      return {QStringLiteral("SD1/SD2"), {}};
    case Measure::poincareArea:
      return {QStringLiteral("Площадь эллипса"), ms2};
    case Measure::vlf:
      return {QStringLiteral("VLF, 0,0033–0,04 Гц"), ms2};
    case Measure::lf:
      return {QStringLiteral("LF, 0,04–0,15 Гц"), ms2};
    case Measure::hf:
      return {QStringLiteral("HF, 0,15–0,4 Гц"), ms2};
    case Measure::totalPower:
      return {QStringLiteral("Общая мощность"), ms2};
    case Measure::lfHf:
      return {QStringLiteral("LF/HF"), {}};
    case Measure::lfNu:
      return {QStringLiteral("LF норм."), QStringLiteral("n.u.")};
    case Measure::hfNu:
      return {QStringLiteral("HF норм."), QStringLiteral("n.u.")};
    case Measure::lfPeak:
      return {QStringLiteral("Пик LF"), QStringLiteral("Гц")};
    case Measure::hfPeak:
      return {QStringLiteral("Пик HF"), QStringLiteral("Гц")};
    case Measure::sampen:
      return {QStringLiteral("SampEn (m = 2)"), {}};
    case Measure::sampenR:
      return {QStringLiteral("Допуск r = 0,2 · SDNN"), ms};
    case Measure::apen:
      return {QStringLiteral("ApEn (m = 2)"), {}};
    case Measure::dfaAlpha1:
      return {QStringLiteral("DFA α1 (4–16)"), {}};
    case Measure::dfaAlpha2:
      return {QStringLiteral("DFA α2 (16–64)"), {}};
    case Measure::arVlf:
    case Measure::lsVlf:
      return {QStringLiteral("VLF"), ms2};
    case Measure::arLf:
    case Measure::lsLf:
      return {QStringLiteral("LF"), ms2};
    case Measure::arHf:
    case Measure::lsHf:
      return {QStringLiteral("HF"), ms2};
    case Measure::arTotalPower:
    case Measure::lsTotalPower:
      return {QStringLiteral("Общая мощность"), ms2};
    case Measure::arLfHf:
    case Measure::lsLfHf:
      return {QStringLiteral("LF/HF"), {}};
    case Measure::arLfNu:
    case Measure::lsLfNu:
      return {QStringLiteral("LF норм."), QStringLiteral("n.u.")};
    case Measure::arHfNu:
    case Measure::lsHfNu:
      return {QStringLiteral("HF норм."), QStringLiteral("n.u.")};
    case Measure::arLfPeak:
    case Measure::lsLfPeak:
      return {QStringLiteral("Пик LF"), QStringLiteral("Гц")};
    case Measure::arHfPeak:
    case Measure::lsHfPeak:
      return {QStringLiteral("Пик HF"), QStringLiteral("Гц")};
  }
  return {QString::fromLatin1(hrv::measureKey(measure).data()), {}};
}

QString measureText(Measure measure, const hrv::MeasureValue& value) {
  if (!value.defined()) return QStringLiteral("—");
  const double x = value.value();
  if (isCount(measure)) return QString::number(std::llround(x));
  const double size = std::abs(x);
  const int decimals = size >= 1000 ? 0 : size >= 100 ? 1 : size >= 10 ? 2 : size >= 1 ? 3 : 4;
  return QString::number(x, 'f', decimals);
}

}  // namespace rrscope::report
