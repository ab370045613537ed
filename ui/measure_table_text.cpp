#include "ui/measure_table_text.h"

#include <QStringList>
#include <array>
#include <charconv>

#include "hrv/measure_catalogue.h"

namespace rrscope::ui {
namespace {

QString qstring(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The shortest text that reads back as the same double.
QString fullPrecision(double value) {
  std::array<char, 32> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return QString::fromLatin1(buffer.data(), end - buffer.data());
}

QString csvField(const QString& field) {
  if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) &&
      !field.contains(QLatin1Char('\n')))
    return field;
  QString quoted = field;
  quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

QString shownValue(const hrv::MeasureValue& value, int decimals) {
  if (!value.defined())
    return QStringLiteral("нет данных: ") + qstring(hrv::reasonTexts(value.reason()).window);
  return QString::number(value.value(), 'f', decimals);
}

QString tableAsTabText(const hrv::Measures& measures) {
  QStringList lines{QStringLiteral("Показатель\tЗначение\tЕд. изм.")};
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const hrv::MeasureEntry& entry = hrv::measureEntry(measure);
    lines << qstring(entry.windowName) + QLatin1Char('\t') +
                 shownValue(measures[measure], entry.windowDecimals) + QLatin1Char('\t') +
                 qstring(hrv::unitTexts(entry.unit).window);
  }
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString tableAsCsv(const hrv::Measures& measures) {
  QStringList lines{QStringLiteral("key,name,value,unit,undefined")};
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const hrv::MeasureEntry& entry = hrv::measureEntry(measure);
    const hrv::MeasureValue& value = measures[measure];
    const QStringList fields{
        qstring(entry.key), qstring(entry.windowName),
        value.defined() ? fullPrecision(value.value()) : QString(),
        qstring(hrv::unitTexts(entry.unit).window),
        value.defined() ? QString() : qstring(hrv::reasonTexts(value.reason()).window)};
    QStringList quoted;
    for (const QString& field : fields) quoted << csvField(field);
    lines << quoted.join(QLatin1Char(','));
  }
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace rrscope::ui
