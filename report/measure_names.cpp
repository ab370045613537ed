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

QString measureText(Measure measure, const hrv::MeasureValue& value) {
  if (!value.defined()) return QStringLiteral("—");
  const double x = value.value();
  if (isCount(measure)) return QString::number(std::llround(x));
  const double size = std::abs(x);
  const int decimals = size >= 1000 ? 0 : size >= 100 ? 1 : size >= 10 ? 2 : size >= 1 ? 3 : 4;
  return QString::number(x, 'f', decimals);
}

}  // namespace rrscope::report
