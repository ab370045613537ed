#include <gtest/gtest.h>

#include <QSignalSpy>

#include "tests/ui/ui_test_support.h"

namespace rrscope {
namespace {

using testing::TestWindow;

struct StepCase {
  const char* box;
  QString start;
  const char* button;
  QStringList texts;  // the box after each press
};

// Steps that pile up without drift are the number text's own test.
TEST(ParameterButtons, EachPressStepsTheTextTheBoxHolds) {
  const std::vector<StepCase> cases = {
      {"Text4", "0.4", "Command4", {" .5", " .6", " .7"}},
      {"Text8", "0.05", "Command15", {" .04", " .03", " .02", " .01", " 0", "-.01"}},
      {"Text7", "50", "Command13", {" 0", "-50"}},
      {"Text7", "500", "Command12", {" 550"}},
      {"Text6", "", "Command10", {" .1"}},
      {"Text6", "abc", "Command11", {"-.1"}},
      {"Text5", "1,5", "Command6", {" 1.1"}},  // a comma ends the number
      {"Text5", " .6", "Command7", {" .5"}},
      {"Text3", "0.03", "Command8", {" .04"}},
      {"Text8", "0.05", "Command14", {" .06"}},
  };
  for (const StepCase& step : cases) {
    const TestWindow window;
    window.type(step.box, step.start);
    QStringList seen;
    for (qsizetype press = 0; press < step.texts.size(); ++press) {
      window.click(step.button);
      seen << window.boxText(step.box);
    }
    EXPECT_EQ(seen, step.texts) << step.button << " from \"" << step.start.toStdString() << "\"";
    EXPECT_TRUE(window.reports.empty());
    // Stepping starts no run.
    EXPECT_FALSE(window.find("Command2")->isEnabled());
    EXPECT_EQ(window.dialogs, 0);
  }
}

TEST(ParameterButtons, ANumberBeyondTheDoubleRangeIsReportedAndKept) {
  const TestWindow window;
  window.type("Text7", "1e999");
  window.click("Command12");
  EXPECT_EQ(window.boxText("Text7"), "1e999");
  ASSERT_EQ(window.reports.size(), 1u);
  EXPECT_EQ(window.reports[0].kind(), analysis::ErrorKind::overflow);
  ASSERT_EQ(window.reports[0].facts.fields.size(), 1u);
  EXPECT_EQ(window.reports[0].facts.fields[0].box, analysis::TextBox::Text7);
  EXPECT_EQ(window.reports[0].facts.fields[0].text, "1e999");
}

TEST(ParameterButtons, RestoreWritesTheNineDefaultsInItsOrder) {
  const TestWindow window;
  const TestWindow fresh;
  std::vector<std::string> written;
  for (int box = 1; box <= 9; ++box) {
    const std::string name = "Text" + std::to_string(box);
    window.type(name.c_str(), "x");
    QObject::connect(window.find<QLineEdit>(name.c_str()), &QLineEdit::textChanged,
                     [&written, name] { written.push_back(name); });
  }
  const QString before = window.labelText("Label16");
  window.click("Command3");

  EXPECT_EQ(written, (std::vector<std::string>{"Text1", "Text2", "Text4", "Text3", "Text7", "Text9",
                                               "Text8", "Text5", "Text6"}));
  // The texts of a window just opened, which its layout test spells out.
  for (const std::string& name : written) {
    EXPECT_EQ(window.boxText(name.c_str()), fresh.boxText(name.c_str())) << name;
  }
  EXPECT_EQ(window.labelText("Label16"), before);
  EXPECT_FALSE(window.find("Command2")->isEnabled());

  // Steps then restore: the default text comes back with its leading 0.
  for (int press = 0; press < 3; ++press) window.click("Command4");
  EXPECT_EQ(window.boxText("Text4"), " .7");
  window.click("Command3");
  EXPECT_EQ(window.boxText("Text4"), "0.4");
}

}  // namespace
}  // namespace rrscope
