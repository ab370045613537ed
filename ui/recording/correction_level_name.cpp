#include "ui/recording/correction_level_name.h"

namespace rrscope::ui {
namespace {

QString plainName(beats::CorrectionLevel level) {
  using beats::CorrectionLevel;
  switch (level) {
    case CorrectionLevel::off:
      return QStringLiteral("выключена");
    case CorrectionLevel::automatic:
      return QStringLiteral("автоматическая");
    case CorrectionLevel::veryLow:
      return QStringLiteral("очень слабая");
    case CorrectionLevel::low:
      return QStringLiteral("слабая");
    case CorrectionLevel::medium:
      return QStringLiteral("средняя");
    case CorrectionLevel::strong:
      return QStringLiteral("сильная");
    case CorrectionLevel::veryStrong:
      return QStringLiteral("очень сильная");
  }
  return {};
}

}  // namespace

QString correctionLevelName(beats::CorrectionLevel level) {
  const std::optional<double> seconds = beats::thresholdSeconds(level);
  if (!seconds) return plainName(level);
  return QStringLiteral("%1 (%2 с)")
      .arg(plainName(level), QString::number(*seconds, 'f', 2).replace('.', ','));
}

}  // namespace rrscope::ui
