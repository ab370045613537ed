#include "ui/recording/clock_text.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace rrscope::ui {

QString clockText(double seconds, bool tenths) {
  const double shown = std::max(0.0, tenths ? std::round(seconds * 10) / 10 : std::round(seconds));
  const auto whole = static_cast<long long>(std::floor(shown));
  const long long hours = whole / 3600;
  const long long minutes = whole / 60 % 60;
  const double rest = shown - static_cast<double>(hours * 3600 + minutes * 60);
  const QString secondsText =
      tenths ? QString::number(rest, 'f', 1).rightJustified(4, QLatin1Char('0'))
             : QString::number(static_cast<long long>(rest)).rightJustified(2, QLatin1Char('0'));
  return QStringLiteral("%1:%2:%3")
      .arg(hours)
      .arg(minutes, 2, 10, QLatin1Char('0'))
      .arg(secondsText);
}

std::optional<double> parseClock(const QString& text) {
  const QStringList parts =
      text.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).split(QLatin1Char(':'));
  if (parts.size() > 3) return std::nullopt;
  double total = 0;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    bool ok = false;
    const bool last = i + 1 == parts.size();
    const double value = last ? parts[i].toDouble(&ok) : static_cast<double>(parts[i].toUInt(&ok));
    // Minutes and seconds after a colon stay below 60.
    if (!ok || !std::isfinite(value) || value < 0 || (i > 0 && value >= 60)) return std::nullopt;
    total = total * 60 + value;
  }
  return total;
}

QRectF clockLabelBox(double x, double width, double top, double height, double right) {
  const double left = std::clamp(x - width / 2, 0.0, std::max(0.0, right - width));
  return {left, top, width, height};
}

}  // namespace rrscope::ui
