#include "ui/recording/recording_error_text.h"

#include <QFileInfo>
#include <array>
#include <utility>

namespace rrscope::ui {
namespace {

// The readers' reasons that a user meets most, by a phrase in them.
constexpr std::array<std::pair<std::string_view, std::string_view>, 16> kKnownReasons{{
    {"cannot open the signal file",
     "нет файла сигнала (.dat) рядом с заголовком, или его нельзя прочитать"},
    {"cannot open the header", "нельзя открыть заголовок записи (.hea)"},
    {"signal file is truncated", "файл сигнала обрывается раньше, чем указано в заголовке"},
    {"no channel looks like ECG", "в записи нет канала ЭКГ"},
    {"holds no samples", "в записи нет отсчётов"},
    {"holds no signal", "в записи нет сигналов"},
    {"is not a positive number of milliseconds",
     "в файле RR-интервалов есть строка, которая не является интервалом в мс"},
    {"not supported", "этот вариант формата не поддерживается"},
    {"the header does not match the file", "заголовок EDF не соответствует файлу"},
    {"but its header promises", "размер файла не соответствует заголовку EDF"},
    {"samples per data record", "в заголовке EDF неверно описан канал"},
    {"so the signal has no gain", "в заголовке EDF неверно описан канал"},
    {"is not in the record's folder", "файл сигнала указан вне папки записи"},
    {"Hz is outside", "частота дискретизации вне допустимого диапазона"},
    {"BioSig", "библиотека BioSig не смогла прочитать файл"},
    {"the reader", "чтение файла прервалось с ошибкой"},
}};

QString russianReason(std::string_view reason) {
  for (const auto& [phrase, russian] : kKnownReasons) {
    if (reason.find(phrase) != std::string_view::npos)
      return QString::fromUtf8(russian.data(), static_cast<qsizetype>(russian.size()));
  }
  return QStringLiteral(
      "файл не читается как запись EDF, BDF, WFDB, ISHNE, GDF или файл RR-интервалов");
}

}  // namespace

QString recordingErrorText(const QString& file, std::string_view reason) {
  return QStringLiteral(
             "Не удалось открыть запись «%1»: %2.\n\nПодробности: %3\n\n"
             "Проверьте, что файл на месте и не повреждён, и откройте его снова.")
      .arg(QFileInfo(file).fileName(), russianReason(reason),
           QString::fromUtf8(reason.data(), static_cast<qsizetype>(reason.size())));
}

}  // namespace rrscope::ui
