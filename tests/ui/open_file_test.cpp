#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "tests/ui/ui_test_support.h"
#include "ui/error_box_text.h"
#include "ui/window_command_line.h"

namespace rrscope {
namespace {

using testing::TestWindow;

// The captions of rrscope-batch's JSON line for `file`.
QJsonObject batchCaptions(const std::string& file) {
  QProcess batch;
  batch.start(QStringLiteral(RRSCOPE_BATCH_TOOL), {QString::fromStdString(file)});
  EXPECT_TRUE(batch.waitForFinished(30000));
  const QJsonObject line = QJsonDocument::fromJson(batch.readAllStandardOutput()).object();
  EXPECT_TRUE(line.value(QStringLiteral("error")).isNull());
  return line.value(QStringLiteral("captions")).toObject();
}

TEST(OpenFile, AnalysesTheFileWithoutTheDialogAndShowsTheCaptionsOfABatchRun) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string file = testing::writeSpikes(folder, "beats.txt", 36000,
                                                {2500, 7300, 12500, 17100, 22500, 27900, 33000});
  TestWindow window;
  window.form->show();
  window.form->openFile(file);

  EXPECT_EQ(window.dialogs, 0);
  ASSERT_TRUE(window.reports.empty()) << window.reports[0].stage;
  EXPECT_TRUE(window.find("Command2")->isEnabled());
  const QJsonObject captions = batchCaptions(file);
  ASSERT_EQ(captions.value(QStringLiteral("sam")).toString(), QStringLiteral("36000"));
  for (auto caption = captions.begin(); caption != captions.end(); ++caption) {
    const QByteArray name = caption.key().toUtf8();
    ASSERT_NE(window.find(name.constData()), nullptr) << name.constData();
    const QString shown =
        name == "Text9" ? window.boxText(name.constData()) : window.labelText(name.constData());
    EXPECT_EQ(shown, caption.value().toString()) << name.constData();
  }

  // The file answers one dialog only: the next click asks again.
  window.nextFile = file;
  window.click("Command1");
  EXPECT_EQ(window.dialogs, 1);
}

TEST(OpenFile, AMissingFileGoesToTheErrorBoxAsWhenChosenInTheDialog) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string missing = folder.filePath(QStringLiteral("missing.txt")).toStdString();
  Form1 form;
  form.show();
  testing::MessageBoxSeen box;
  testing::acceptNextMessageBox(box);
  form.openFile(missing);
  const ui::ErrorBoxText wording = ui::errorBoxText(
      {.cause = analysis::ErrorCause::fileNotOpened, .file = missing, .systemError = ENOENT});
  EXPECT_EQ(box.title.toStdString(), wording.title);
  EXPECT_EQ(box.text.toStdString(), wording.text);
  EXPECT_EQ(form.caption(analysis::Caption::sam), "");
}

ui::WindowCommandLine read(std::initializer_list<std::string_view> arguments) {
  return ui::readWindowCommandLine(std::span(arguments.begin(), arguments.size()));
}

TEST(WindowCommandLine, OpensAtMostOneFileAndAnswersVersionAndHelp) {
  using Request = ui::WindowCommandLine::Request;
  EXPECT_EQ(read({}).request, Request::window);
  EXPECT_FALSE(read({}).file);
  EXPECT_EQ(read({"ecg.txt"}).file, "ecg.txt");
  EXPECT_EQ(read({"--", "-odd.txt"}).file, "-odd.txt");
  EXPECT_EQ(read({"-"}).file, "-");
  EXPECT_EQ(read({"--version"}).request, Request::version);
  EXPECT_EQ(read({"ecg.txt", "-h"}).request, Request::help);

  const ui::WindowCommandLine two = read({"a.txt", "b.txt"});
  EXPECT_EQ(two.request, Request::badUsage);
  EXPECT_NE(two.problem.find("one FILE"), std::string::npos);
  EXPECT_EQ(read({"--csv", "a.txt"}).request, Request::badUsage);
}

}  // namespace
}  // namespace rrscope
