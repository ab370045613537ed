#include "ui/recording/saved_beats_check.h"

#include <QStringList>

namespace rrscope::ui {
namespace {

QString rateText(recordings::SamplingRate rate) {
  return QString::number(
      static_cast<double>(rate.numerator) / static_cast<double>(rate.denominator), 'g', 10);
}

QString differenceText(editing::IdentityPart part, const editing::RecordingIdentity& saved,
                       const editing::RecordingIdentity& opened) {
  switch (part) {
    case editing::IdentityPart::fileName:
      return QStringLiteral("файл %1, а открыт %2")
          .arg(QString::fromStdString(saved.fileName), QString::fromStdString(opened.fileName));
    case editing::IdentityPart::rate:
      return QStringLiteral("частота %1 Гц, а у записи %2 Гц")
          .arg(rateText(saved.rate), rateText(opened.rate));
    case editing::IdentityPart::sampleCount:
      return QStringLiteral("длина %1 отсчётов, а у записи %2")
          .arg(saved.sampleCount)
          .arg(opened.sampleCount);
    case editing::IdentityPart::checksum:
      return QStringLiteral("контрольная сумма отсчётов другая");
  }
  return {};
}

}  // namespace

std::optional<QString> savedBeatsMismatch(const editing::SavedBeats& saved,
                                          const editing::RecordingIdentity& opened) {
  if (!saved.notes.identity) {
    return QStringLiteral(
        "В файле не сказано, к какой записи относятся удары; они не восстановлены.");
  }
  const std::vector<editing::IdentityPart> parts =
      editing::differences(*saved.notes.identity, opened);
  if (parts.empty()) return std::nullopt;
  QStringList texts;
  for (const editing::IdentityPart part : parts) {
    texts << differenceText(part, *saved.notes.identity, opened);
  }
  return QStringLiteral("Удары сохранены для другой записи (%1); они не восстановлены.")
      .arg(texts.join(QStringLiteral("; ")));
}

}  // namespace rrscope::ui
