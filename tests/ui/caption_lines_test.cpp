#include "ui/caption_lines.h"

#include <gtest/gtest.h>

#include <QFont>

namespace rrscope::ui {
namespace {

TEST(CaptionLines, BreakAtBlanksOnlyAndKeepLongWordsWhole) {
  const QFontMetrics metrics{QFont()};
  const auto width = [&](const char* text) {
    return metrics.horizontalAdvance(QString::fromUtf8(text));
  };
  const auto lines = [&](const char* caption, int lineWidth) {
    return captionLines(QString::fromUtf8(caption), metrics, lineWidth);
  };
  // Room for the hyphen, not for the whole: the break comes at the blank.
  EXPECT_EQ(lines("Корреляция К(t-tau)", width("Корреляция К(t-")),
            (QStringList{"Корреляция", "К(t-tau)"}));
  EXPECT_EQ(lines("0.870166666666667", 5), QStringList{"0.870166666666667"});
  EXPECT_EQ(lines("RRi+tau,    с", width("RRi+tau,    с")), QStringList{"RRi+tau,    с"});
  EXPECT_EQ(lines("RRi+tau,    с", width("RRi+tau,")), (QStringList{"RRi+tau,", "с"}));
  EXPECT_EQ(lines(" 10 c", 1000), QStringList{" 10 c"});
  EXPECT_EQ(lines("", 10), QStringList{""});
  EXPECT_EQ(lines("Вернуть все исходные цифры", width("исходные")),
            (QStringList{"Вернуть", "все", "исходные", "цифры"}));
}

}  // namespace
}  // namespace rrscope::ui
