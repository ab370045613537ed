#include <gtest/gtest.h>

#include <QLocale>

#include "tests/ui/ui_test_support.h"

namespace rrscope {
namespace {

using testing::TestWindow;

// Label29 to Label36: i-1, i, i+1, the three intervals in seconds, and the
// differences between i and i-1 and between i+1 and i.
QStringList frame(const TestWindow& window) {
  QStringList captions;
  for (int label = 29; label <= 36; ++label) {
    captions << window.labelText(("Label" + std::to_string(label)).c_str());
  }
  return captions;
}

// Peaks 6000, 4500 and 6000 samples apart, then one more, so a run forms
// exactly these three intervals.
class DebugPagerAfterRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    window_.nextFile =
        testing::writeSpikes(folder_, "beats.txt", 24000, {1000, 7000, 11500, 17500, 23500});
    window_.click("Command1");
    ASSERT_TRUE(window_.reports.empty()) << window_.reports[0].stage;
  }

  QTemporaryDir folder_;
  TestWindow window_;
};

TEST_F(DebugPagerAfterRun, PagesThroughTheIntervalsInSeconds) {
  EXPECT_EQ(window_.form->analysisState().DebugPage, 2);
  window_.click("Command18");  // i is 2 already: nothing moves, nothing is shown
  EXPECT_EQ(frame(window_), QStringList(8, "0"));

  window_.click("Command17");
  EXPECT_EQ(frame(window_), (QStringList{"2", "3", "4", "0.75", "1", "0", "0.25", "-1"}));
  window_.click("Command18");
  EXPECT_EQ(frame(window_), (QStringList{"1", "2", "3", "1", "0.75", "1", "-0.25", "0.25"}));
}

TEST_F(DebugPagerAfterRun, FollowsTheLocaleDecimalPoint) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  window_.click("Command17");
  window_.click("Command18");
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(frame(window_), (QStringList{"1", "2", "3", "1", "0,75", "1", "-0,25", "0,25"}));
}

// Before the first run the buttons do nothing; after it they page up to
// 32767, where ">" stops with an overflow.
TEST(DebugPager, DoesNothingBeforeARunAndStopsWithAnOverflowAt32767) {
  TestWindow window;
  window.click("Command17");
  window.click("Command18");
  EXPECT_EQ(frame(window), QStringList(8, "0"));
  EXPECT_EQ(window.form->analysisState().DebugPage, 0);
  window.click("Command1");  // cancelled, but the page is 2 now
  ASSERT_EQ(window.form->analysisState().DebugPage, 2);
  window.reports.clear();
  for (int page = 2; page < 32766; ++page) window.click("Command17");
  ASSERT_EQ(window.form->analysisState().DebugPage, 32766);
  const QStringList at32766 = frame(window);
  EXPECT_EQ(at32766.mid(0, 3), (QStringList{"32765", "32766", "32767"}));

  // i is stored and shown, i + 1 cannot be formed: the rest stays.
  window.click("Command17");
  EXPECT_EQ(window.form->analysisState().DebugPage, 32767);
  QStringList expected = at32766;
  expected[0] = "32766";
  expected[1] = "32767";
  EXPECT_EQ(frame(window), expected);
  ASSERT_EQ(window.reports.size(), 1u);
  EXPECT_EQ(window.reports[0].kind(), analysis::ErrorKind::overflow);
  EXPECT_EQ(window.reports[0].stage, "nextDebugPage");

  // From now on ">" stops before changing anything; "<" still pages.
  window.click("Command17");
  EXPECT_EQ(window.reports.size(), 2u);
  EXPECT_EQ(window.form->analysisState().DebugPage, 32767);
  EXPECT_EQ(frame(window), expected);
  window.click("Command18");
  EXPECT_EQ(window.reports.size(), 2u);
  EXPECT_EQ(window.form->analysisState().DebugPage, 32766);
  EXPECT_EQ(frame(window), at32766);
}

}  // namespace
}  // namespace rrscope
