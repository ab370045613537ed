#include "ui/error_box_text.h"

#include <QMessageBox>
#include <cerrno>
#include <cstring>

#include "text/number_text.h"
#include "ui/control_names.h"

namespace rrscope::ui {
namespace {

std::string kindTitle(analysis::ErrorKind kind) {
  switch (kind) {
    case analysis::ErrorKind::cannotOpenFile:
      return "Не удаётся открыть файл";
    case analysis::ErrorKind::readError:
      return "Ошибка чтения файла";
    case analysis::ErrorKind::subscriptOutOfRange:
      return "Выход за пределы массива";
    case analysis::ErrorKind::overflow:
      return "Переполнение";
    case analysis::ErrorKind::divisionByZero:
      return "Деление на ноль";
    case analysis::ErrorKind::typeMismatch:
      return "Несоответствие типа";
    case analysis::ErrorKind::outOfMemory:
      return "Недостаточно памяти";
  }
  return "Ошибка";
}

std::string quoted(std::string_view text) {
  std::string out = "«";
  out.append(text);
  out += "»";
  return out;
}

std::string number(std::int64_t value) {
  return std::to_string(value);
}

std::string field(analysis::TextBox box) {
  return "в поле " + quoted(fieldName(box));
}

// The system's reason in Russian where it is a common one, in the system's
// own words otherwise.
std::string systemReason(int error) {
  switch (error) {
    case ENOENT:
      return "такого файла нет";
    case EACCES:
    case EPERM:
      return "нет прав на чтение";
    case EIO:
      return "ошибка ввода-вывода";
    default:
      return std::strerror(error);
  }
}

std::string captionName(analysis::Caption label) {
  switch (label) {
    case analysis::Caption::sam:
      return "Количество сэмплов";
    case analysis::Caption::TR:
      return "Время записи ритма";
    case analysis::Caption::Label8:
      return "Количество RR интервалов в анализируемой последовательности";
    case analysis::Caption::Label16:
      return "RRi+tau,    с";
    case analysis::Caption::Label21:
      return "Время наблюдения RR интервалов";
    case analysis::Caption::Label22:
      return "Cредняя ЧСС";
  }
  return "";
}

std::string seriesName(analysis::Series series) {
  switch (series) {
    case analysis::Series::sampleLines:
      return "сэмплов";
    case analysis::Series::peakTimes:
      return "пиков R";
    case analysis::Series::rrIntervals:
      return "RR интервалов";
  }
  return "";
}

std::string lowerThreshold(const analysis::ErrorFacts& facts) {
  return " Уменьшите значение " + field(analysis::TextBox::Text1) + " (сейчас " +
         quoted(facts.fields.at(0).text) + ") или проверьте файл.";
}

const std::string kOpenSamples = " Откройте кнопкой «Нажми меня» файл с сэмплами.";

std::string chartBeyondRange(const analysis::ErrorFacts& facts) {
  const analysis::FieldText& scale = facts.fields.at(0);
  std::string advice = " Введите меньшее значение";
  if (scale.box == analysis::TextBox::Text7) advice += " или проверьте значения в файле";
  return "При значении " + quoted(scale.text) + " " + field(scale.box) + " точки " +
         chartOf(*facts.chart) + " выходят за пределы, которые может принять рисунок." + advice +
         ".";
}

std::string binOverflow(const analysis::ErrorFacts& facts) {
  const std::string seconds = text::reportNumberText(facts.value, 2);
  const std::string where = facts.chart == analysis::Picture::Picture4
                                ? "В столбец гистограммы от " + seconds + " с попало больше " +
                                      number(facts.limit) + " RR интервалов"
                                : "В окно корреляции около " + seconds + " с попало больше " +
                                      number(facts.limit) + " разностей RR интервалов";
  return where + ": при пороге " + quoted(facts.fields.at(0).text) + " и защитном интервале " +
         quoted(facts.fields.at(1).text) +
         " с почти каждый сэмпл считается пиком R. Увеличьте значение " +
         field(analysis::TextBox::Text1) + " или " + quoted(fieldName(analysis::TextBox::Text2)) +
         ".";
}

std::string shiftField(const analysis::ErrorFacts& facts) {
  return quoted(facts.fields.at(0).text) + " " + field(analysis::TextBox::Text9);
}

std::string sentences(const analysis::ErrorFacts& facts) {
  switch (facts.cause) {
    case analysis::ErrorCause::noFileChosen:
      return "Файл не выбран. Нажмите «Нажми меня» и выберите файл сэмплов.";
    case analysis::ErrorCause::fileNotOpened:
      return "Не удаётся открыть файл " + quoted(facts.file) + ": " +
             systemReason(facts.systemError) +
             ". Выберите существующий файл сэмплов, доступный для чтения.";
    case analysis::ErrorCause::fileIsFolder:
      return quoted(facts.file) + " — это папка, а не файл. Выберите файл сэмплов.";
    case analysis::ErrorCause::readFailed:
      return "Чтение файла " + quoted(facts.file) + " прервалось после " +
             countOf(facts.count, "байта", "байт", "байт") + ": " +
             systemReason(facts.systemError) +
             ". Ранее загруженные сэмплы сохранены; проверьте файл и откройте его ещё раз.";
    case analysis::ErrorCause::tooManyLines:
      return "В файле больше " + number(facts.limit) +
             " строк, а в файле сэмплов их может быть не больше. Разделите его на файлы не "
             "длиннее " +
             number(facts.limit) + " строк.";
    case analysis::ErrorCause::fileIsDevice:
      return quoted(facts.file) + " — это устройство, а не файл. Выберите файл сэмплов.";
    case analysis::ErrorCause::pipeWithoutWriter:
      return quoted(facts.file) +
             " — это канал, в который не пишет ни одна программа. Сначала запустите программу, "
             "которая пишет сэмплы, или выберите файл сэмплов.";
    case analysis::ErrorCause::lineTooLong:
      return "Строка " + number(facts.line) + " файла длиннее " + number(facts.limit >> 20) +
             " МБ, а сэмпл не бывает таким длинным, поэтому чтение остановлено. Выберите файл, в "
             "котором на каждой строке одно значение.";
    case analysis::ErrorCause::outOfMemory:
      return "Для анализа не хватило памяти. Ранее загруженные сэмплы сохранены; закройте другие "
             "программы или откройте запись покороче.";
    case analysis::ErrorCause::parameterBeyondRange:
      return "Число " + quoted(facts.fields.at(0).text) + " " + field(facts.fields.at(0).box) +
             " выходит за пределы допустимых чисел. Введите меньшее число.";
    case analysis::ErrorCause::captionBeyondRange:
      return "Значение " + quoted(facts.text) + " в строке " + quoted(captionName(*facts.caption)) +
             " выходит за пределы допустимых чисел. Откройте файл заново.";
    case analysis::ErrorCause::sampleBeyondRange:
      return "Сэмпл в строке " + number(facts.line) + " файла (" + quoted(facts.text) +
             ") выходит за пределы допустимых чисел. Исправьте эту строку файла.";
    case analysis::ErrorCause::guardBeyondRange:
      return "Защитный интервал " + quoted(facts.fields.at(0).text) +
             " с слишком велик, чтобы отсчитать его в сэмплах. Введите меньшее число " +
             field(analysis::TextBox::Text2) + ".";
    case analysis::ErrorCause::positionOutOfRange:
      return "Номер " + number(facts.count) + " в ряду " + seriesName(*facts.series) +
             " лежит вне пределов от 1 до " + number(facts.limit) +
             ". Проверьте параметры анализа.";
    case analysis::ErrorCause::tooFewPeaks:
      return "Найдено меньше двух пиков R (" + number(facts.count) + "), и RR интервалов нет." +
             lowerThreshold(facts);
    case analysis::ErrorCause::noSamples:
      return "В файле нет ни одного сэмпла, поэтому и пиков R нет." + kOpenSamples;
    case analysis::ErrorCause::noFileLoaded:
      return "Файл сэмплов ещё не загружен, и анализировать нечего." + kOpenSamples;
    case analysis::ErrorCause::noIntervals:
      return "Найдено только два пика R, и анализируемых RR интервалов нет." +
             lowerThreshold(facts);
    case analysis::ErrorCause::zeroObservationTime:
      return "Время наблюдения RR интервалов равно 0 с, и среднюю ЧСС не вычислить." +
             lowerThreshold(facts);
    case analysis::ErrorCause::heartRateBeyondRange:
      return "Средняя ЧСС выходит за пределы допустимых чисел." + lowerThreshold(facts);
    case analysis::ErrorCause::chartBeyondRange:
      return chartBeyondRange(facts);
    case analysis::ErrorCause::binOverflow:
      return binOverflow(facts);
    case analysis::ErrorCause::shiftNotANumber:
      return "Текст " + shiftField(facts) +
             " — не число. Введите целое число интервалов, например 1.";
    case analysis::ErrorCause::shiftOutOfRange:
      return "Сдвиг " + shiftField(facts) + " лежит вне пределов от " + number(-facts.limit - 1) +
             " до " + number(facts.limit) + ". Введите меньший сдвиг.";
    case analysis::ErrorCause::shiftPairsOutside:
      return "Сдвиг " + shiftField(facts) + " даёт RR интервалу " + number(facts.count) +
             " пару вне пределов от 1 до " + number(facts.limit) + ". Введите сдвиг 0 или больше.";
    case analysis::ErrorCause::debugIndexOverflow:
      return "Номер интервала в рамке отладки не может быть больше " + number(facts.limit) +
             ". Листайте назад кнопкой «<».";
    case analysis::ErrorCause::tooFewBeats:
      return "Детектор нашёл меньше двух пиков R (" + number(facts.count) +
             "). Проверьте, что в файле записана ЭКГ.";
    case analysis::ErrorCause::inputNotRead:
      return "Не удаётся прочитать файл " + quoted(facts.file) + ". Выберите другой файл.";
    case analysis::ErrorCause::inputLineInvalid:
      return "Строка " + number(facts.line) + " файла " + quoted(facts.file) + " (" +
             quoted(facts.text) + ") не содержит допустимого значения. Исправьте эту строку.";
  }
  return "Анализ остановлен.";
}

}  // namespace

ErrorBoxText errorBoxText(const analysis::ErrorFacts& facts) {
  return {kindTitle(analysis::errorKind(facts.cause)), sentences(facts)};
}

void showErrorBox(QWidget* parent, const analysis::ErrorFacts& facts) {
  const ErrorBoxText wording = errorBoxText(facts);
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(wording.title),
                  QString::fromStdString(wording.text), QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace rrscope::ui
