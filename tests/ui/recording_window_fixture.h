#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <span>

#include "hrv/hrv_measures.h"
#include "recordings/wfdb_writer.h"
#include "tests/beats/synthetic_record.h"
#include "tests/recordings/edf_file.h"
#include "ui/recording/ecg_recording_window.h"

namespace rrscope::test {

using ui::EcgRecordingWindow;

constexpr double kRate = 250;
constexpr double kSeconds = 120;

// What the window asked and showed, with the answers it gets.
struct DialogLog {
  QString nextSaveFile;  // empty: answer with the suggested path
  QString nextOpenFile;  // what "Открыть запись…" is answered with
  bool restore = true;
  QStringList questions;
  QStringList errorTitles;
  QStringList errorTexts;
};

// The line of rrscope-batch for `file` with `options`.
inline QJsonObject batchLine(const QString& file, QStringList options) {
  QProcess batch;
  options << file;
  batch.start(QStringLiteral(RRSCOPE_BATCH_TOOL), options);
  EXPECT_TRUE(batch.waitForFinished(60000));
  return QJsonDocument::fromJson(batch.readAllStandardOutput()).object();
}

// Each of `which` as the line's "hrv" of rrscope-batch gives it: the very
// double where the line has a number, undefined where it has null.
inline void expectBatchMeasures(const hrv::Measures& shown, const QJsonObject& batchHrv,
                                std::span<const hrv::Measure> which) {
  ASSERT_FALSE(batchHrv.isEmpty());
  for (const hrv::Measure m : which) {
    const QJsonValue value = batchHrv.value(QString::fromUtf8(hrv::measureKey(m).data()));
    EXPECT_EQ(shown[m].defined(), !value.isNull()) << hrv::measureKey(m);
    if (shown[m].defined()) {
      EXPECT_EQ(shown[m].value(), value.toDouble()) << hrv::measureKey(m);
    }
  }
}
inline void expectBatchMeasures(const hrv::Measures& shown, const QJsonObject& batchHrv) {
  expectBatchMeasures(shown, batchHrv, hrv::allMeasures());
}

class RecordingWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

  QString path(const QString& name) const { return folder_.filePath(name); }

  // The lead as a one-signal WFDB record of `seconds`, MIT-BIH's layout.
  QString writeWfdb(const QString& name, double seconds = kSeconds) const {
    const auto count = static_cast<std::size_t>(seconds * kRate);
    const std::span<const std::int16_t> adc(lead_.adc.data(), count);
    recordings::writeWfdbRecord(
        path(name).toStdString(),
        {{static_cast<std::int64_t>(kRate), 1}, 16, 200.0, 0, {"MLII"}, {adc}});
    return path(name + ".hea");
  }

  // A file of `count` RR intervals, one a line, the i-th `ms(i)`.
  QString writeRr(const QString& name, std::size_t count,
                  const std::function<double(std::size_t)>& ms) const {
    QFile file(path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    for (std::size_t i = 0; i < count; ++i) file.write(QByteArray::number(ms(i), 'g', 17) + '\n');
    return path(name);
  }

  // A file named as a recording that holds none.
  void writeNoise(const QString& name) const {
    QFile noise(path(name));
    ASSERT_TRUE(noise.open(QIODevice::WriteOnly));
    noise.write("not a recording at all");
  }

  QString writeEdfFile(const QString& name) const {
    std::vector<double> mv;
    for (const std::int16_t adc : lead_.adc) mv.push_back(adc / 200.0);
    writeEdf(path(name).toStdString(), EDFLIB_FILETYPE_EDFPLUS,
             {{"ECG II", static_cast<int>(kRate), mv}});
    return path(name);
  }

  std::unique_ptr<EcgRecordingWindow> open(const QString& file) {
    auto window = std::make_unique<EcgRecordingWindow>(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setDialogs({[this](const QString&, const QString& suggested, const QString&) {
                          return log_.nextSaveFile.isEmpty() ? suggested : log_.nextSaveFile;
                        },
                        [this](const QString& question) {
                          log_.questions << question;
                          return log_.restore;
                        },
                        [this](const QString& title, const QString& text) {
                          log_.errorTitles << title;
                          log_.errorTexts << text;
                        },
                        [this] { return log_.nextOpenFile; }});
    window->show();
    QSignalSpy failed(window.get(), &EcgRecordingWindow::loadFailed);
    window->openFile(file);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isLoaded() || !failed.isEmpty(); }, 60000));
    return window;
  }

  QTemporaryDir folder_;
  test::SyntheticLead lead_ = test::syntheticLead(kRate, kSeconds);
  DialogLog log_;
};

}  // namespace rrscope::test
