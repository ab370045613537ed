// The window's error box: Russian, naming fields by their captions, with
// advice that fits what happened.
#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

#include "tests/ui/ui_test_support.h"
#include "ui/error_box_text.h"

namespace rrscope {
namespace {

using ShownBox = testing::MessageBoxSeen;

// The box that `action` shows, read from the box itself and then closed.
ShownBox boxShownBy(const std::function<void()>& action) {
  ShownBox shown;
  testing::acceptNextMessageBox(shown);
  action();
  QApplication::processEvents();  // a box that never came fails here, not later
  return shown;
}

// Names of controls and functions, which the user never sees.
const QRegularExpression kInternalName(
    R"(Text[0-9]|Label[0-9]|Picture[0-9]|Command[0-9]|[a-z][A-Z]|Overflow|Subscript)");

void expectReadable(const ShownBox& box) {
  EXPECT_FALSE(box.text.isEmpty());
  EXPECT_FALSE(box.text.contains(kInternalName)) << box.text.toStdString();
  EXPECT_LE(box.text.count(QRegularExpression(R"([.!?](\s|$))")), 2) << box.text.toStdString();
  EXPECT_FALSE(box.text.contains(QChar::ReplacementCharacter)) << box.text.toStdString();
}

TEST(ErrorBox, EachKindHasItsRussianTitleAndNamesWhatToChange) {
  const struct {
    analysis::ErrorFacts facts;
    const char* title;
    std::vector<const char*> fragments;
  } cases[] = {
      {{.cause = analysis::ErrorCause::fileNotOpened,
        .file = "/data/rec.txt",
        .systemError = ENOENT},
       "Не удаётся открыть файл",
       {"«/data/rec.txt»", "такого файла нет", "Выберите существующий файл"}},
      {{.cause = analysis::ErrorCause::readFailed,
        .file = "/data/rec.txt",
        .count = 21,
        .systemError = EIO},
       "Ошибка чтения файла",
       {"после 21 байта", "ошибка ввода-вывода", "сохранены"}},
      {{.cause = analysis::ErrorCause::tooFewPeaks,
        .fields = {{analysis::TextBox::Text1, "0.9"}},
        .count = 1},
       "Выход за пределы массива",
       {"меньше двух пиков R", "Уменьшите значение в поле «порог» (сейчас «0.9»)"}},
      {{.cause = analysis::ErrorCause::parameterBeyondRange,
        .fields = {{analysis::TextBox::Text8, "1e999"}}},
       "Переполнение",
       {"«1e999» в поле «масштаб пульса по горизонтали»", "Введите меньшее число"}},
      {{.cause = analysis::ErrorCause::sampleBeyondRange, .text = "1e999жж...", .line = 2},
       "Переполнение",
       {"в строке 2 файла («1e999жж...»)"}},
      {{.cause = analysis::ErrorCause::zeroObservationTime,
        .fields = {{analysis::TextBox::Text1, "0.4"}},
        .count = 3},
       "Деление на ноль",
       {"равно 0 с", "«порог»"}},
      {{.cause = analysis::ErrorCause::shiftNotANumber,
        .fields = {{analysis::TextBox::Text9, "два"}}},
       "Несоответствие типа",
       {"«два» в поле «Выбор временного сдвига Тау для аттрактора»", "например 1"}},
      // Without samples the threshold is not to blame: the advice is a file.
      {{.cause = analysis::ErrorCause::noFileLoaded, .fields = {{analysis::TextBox::Text1, "0.4"}}},
       "Выход за пределы массива",
       {"ещё не загружен", "Откройте кнопкой «Нажми меня» файл с сэмплами."}},
      {{.cause = analysis::ErrorCause::noSamples, .fields = {{analysis::TextBox::Text1, "0.4"}}},
       "Выход за пределы массива",
       {"нет ни одного сэмпла", "Откройте кнопкой «Нажми меня» файл с сэмплами."}},
      {{.cause = analysis::ErrorCause::outOfMemory},
       "Недостаточно памяти",
       {"не хватило памяти", "сохранены"}},
      {{.cause = analysis::ErrorCause::pipeWithoutWriter, .file = "/tmp/fifo"},
       "Не удаётся открыть файл",
       {"«/tmp/fifo»", "не пишет ни одна программа"}},
      {{.cause = analysis::ErrorCause::lineTooLong, .line = 3, .limit = std::int64_t{64} << 20},
       "Ошибка чтения файла",
       {"Строка 3", "64 МБ"}},
  };
  QWidget parent;
  for (const auto& c : cases) {
    const ShownBox box = boxShownBy([&] { ui::showErrorBox(&parent, c.facts); });
    SCOPED_TRACE(box.text.toStdString());
    EXPECT_EQ(box.title, QString(c.title));
    for (const char* fragment : c.fragments) EXPECT_TRUE(box.text.contains(QString(fragment)));
    expectReadable(box);
  }
}

// Threshold -1 and no guard interval make every sample a peak, so the
// one-sample intervals overflow the correlation windows around 0 s. The
// window hands its report to the box the tests above read.
TEST(WindowErrorBox, AnOverflowingCorrelationWindowPointsAtTheParameters) {
  QTemporaryDir folder;
  testing::TestWindow window;
  window.type("Text1", "-1");
  window.type("Text2", "0");
  window.nextFile = testing::writeSpikes(folder, "flat.txt", 40000, {});
  window.click("Command1");
  ASSERT_EQ(window.reports.size(), 1u);
  const ui::ErrorBoxText wording = ui::errorBoxText(window.reports[0].facts);
  const ShownBox box{QString::fromStdString(wording.title), QString::fromStdString(wording.text)};
  EXPECT_EQ(box.title, "Переполнение");
  EXPECT_TRUE(box.text.contains("окно корреляции около 0.00 с")) << box.text.toStdString();
  EXPECT_TRUE(box.text.contains("при пороге «-1» и защитном интервале «0» с"));
  EXPECT_TRUE(box.text.contains("Увеличьте значение в поле «порог» или «защитный интервал (с)»"));
  EXPECT_FALSE(box.text.contains("E-")) << box.text.toStdString();
  expectReadable(box);
}

}  // namespace
}  // namespace rrscope
