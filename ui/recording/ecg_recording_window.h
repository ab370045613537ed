#pragma once

#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <thread>
#include <utility>
#include <vector>

#include "beats/beat_class.h"
#include "beats/correction_level.h"
#include "beats/detected_beats.h"
#include "editing/opened_recording.h"
#include "hrv/hrv_measures.h"
#include "ui/recording/recording_files.h"
#include "ui/recording/window_strip_view.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;

namespace rrscope::ui {

using WindowStripPoint = WindowStripView::Point;

class EcgStripView;
class MeasureTableWidget;
class SampleListView;
class StretchChartsView;
class TachogramView;

// What the window asks of the user, replaceable for tests.
struct RecordingDialogs {
  // The file to write, empty for a cancel: title, suggested path, filters.
  std::function<QString(const QString&, const QString&, const QString&)> chooseSaveFile;
  // A yes/no question.
  std::function<bool(const QString&)> ask;
  // An error box: title and text.
  std::function<void(const QString&, const QString&)> showError;
  // The recording to open, empty for a cancel.
  std::function<QString()> chooseOpenFile;
};

// The window "Запись ЭКГ": a recording (EDF, BDF, WFDB or RR file) opened
// with the batch tool's analysis, its beats over the ECG for the user to
// check and edit, the analysis stretch chosen on the tachogram, the
// measures of that stretch, and what can be made of them: the beats saved,
// a report, the NN series, the stretch sent to the analysis window.
class EcgRecordingWindow : public QWidget {
  Q_OBJECT

 public:
  explicit EcgRecordingWindow(QWidget* parent);
  ~EcgRecordingWindow() override;

  // Opens `file` in the background; the window shows progress meanwhile.
  void openFile(const QString& file);

  void setDialogs(RecordingDialogs dialogs);
  // Where "В окно анализа" sends the text file it writes.
  void setAnalysisSender(std::function<void(const QString&)> send);

  bool isLoaded() const { return opened_ != nullptr; }
  const editing::BeatList* beats() const;
  beats::SampleStretch stretch() const { return stretch_; }
  const hrv::Measures& measures() const { return measures_; }
  // False while the entropies and the DFA of a long stretch are computed.
  bool measuresAreComplete() const { return !nonlinearPending_; }

  // A stretch of more intervals than this gets its entropies and DFA from
  // a worker thread.
  static constexpr std::size_t kLongestSeriesAtOnce = 20'000;
  const MeasureTableWidget& table() const { return *table_; }
  EcgStripView& strip() const { return *strip_; }
  TachogramView& tachogram() const { return *tachogram_; }
  WindowStripView& windowStrip() const { return *windowStrip_; }
  // Shows one measure of the 5-minute windows of the whole recording (every
  // 30 s) under the tachogram; none hides the strip.
  void setWindowMeasure(std::optional<hrv::Measure> measure);
  QString summaryText() const;

  // The stretch as samples, kept inside the recording.
  void setStretch(beats::SampleStretch stretch);

  // Detrends the spectra by smoothness priors of `lambda` (checked by
  // hrv::isValidLambda), or not for none; false, and nothing changes, for a
  // lambda out of range.
  bool setDetrending(std::optional<double> lambda);
  StretchChartsView& charts() const { return *charts_; }

  // The analysis samples: stretches kept to be measured each on its own
  // and all together, as one sample of their intervals end to end.
  std::span<const beats::SampleStretch> samples() const { return samples_; }
  void addSample();  // the stretch as it stands
  void removeSample(std::size_t index);
  // Shows a sample's measures, or with the count of samples their
  // combination's.
  void chooseSample(std::size_t index);
  bool showsCombinedSamples() const { return combined_; }

  beats::CorrectionLevel correctionLevel() const { return correctionLevel_; }
  // Off takes the detector's beats as they are; any other level the beats
  // of the automatic correction, and a threshold level then holds each NN
  // interval to its neighbours. Going to or from off starts again from
  // those beats: hand edits go, once the user agrees. False when they keep
  // the level as it was.
  bool setCorrectionLevel(beats::CorrectionLevel level);

  // The buttons' actions, which the tests call past their file dialogs.
  void saveBeats();
  void writeReport();
  void exportNn();
  // The measures as CSV, a row for the stretch, or one for each sample and
  // one for them together: the columns of the batch tool's --windows rows,
  // file,start_s,end_s,intervals and every measure, then the correction
  // level and the sample.
  void exportMeasures();
  void sendToAnalysis();
  // "Открыть запись…": another recording in this window.
  void chooseAndOpen();
  void undo();
  void redo();

 signals:
  void loaded();
  void loadFailed(const QString& message);
  // Every measure of the stretch is shown, the slow ones of a long
  // stretch included.
  void measuresComplete();
  void edited();  // the beats or marks changed and the measures follow
  // The strip of a measure over time shows the windows of the latest beats.
  void windowStripShown();

 private:
  void buildLayout();
  QWidget* buildStretchRow();
  QWidget* buildButtonRow();
  void connectViews();
  void finishLoading(std::shared_ptr<editing::OpenedRecording> opened);
  void failLoading(const QString& message);
  void showTitle();
  void showReaderWarnings();
  void offerSavedBeats();
  void showRecording();
  void refreshAfterEdit(std::optional<std::size_t> selected);
  // The measures of the stretch, from its series when the caller has it.
  void refreshMeasures(std::optional<editing::StretchSeries> series = std::nullopt);
  void computeNonlinearInBackground();
  // The series the measures take: the beats' own, held to the threshold of
  // the correction level when it has one.
  editing::StretchSeries correctedSeries(beats::SampleStretch stretch) const;
  // The samples' series end to end; the interval across a join is none.
  editing::StretchSeries combinedSeries() const;
  void showSamples(std::size_t chosen);
  // The beats to start from at `level`.
  editing::BeatList startingBeats(beats::CorrectionLevel level) const;
  QWidget* buildCorrectionChoice(QWidget* parent);
  QWidget* buildDetrendRow(QWidget* parent);
  void readDetrendFields();
  QWidget* buildWindowMeasureChoice(QWidget* parent);
  // The windows are many spectra or DFAs on a day: they follow from a
  // worker thread, and only the latest request's are shown.
  void refreshWindowStrip(const editing::StretchSeries& whole);
  void showWindowStrip(std::uint64_t generation, std::vector<WindowStripPoint> points);
  void showNonlinear(std::uint64_t generation, const hrv::Measures& nonlinear);
  void showStretchFields();
  void readStretchFields();
  // Shows the strip at the time typed in "Перейти к".
  void goToTypedTime();
  void setWholeStretch();
  void setFiveMinutes();
  void addBeat(double sample);
  // Where a beat placed by hand near `sample` goes: the QRS complex's
  // fiducial point when one is within reach, else `sample` itself.
  double snappedToQrs(double sample) const;
  void removeBeat(std::size_t index);
  // Moves a beat by hand: to the QRS complex near `sample` unless `freely`.
  void moveBeat(std::size_t index, double sample, bool freely);
  void relabelBeat(std::size_t index, beats::BeatClass beatClass);
  void markUnreadable(double begin, double end, bool mark);
  void syncScrollBar();
  // Undo and redo are offered only when there is something to undo or redo.
  void updateUndoState();
  void reportError(const QString& title, const QString& text);
  QString chooseSaveFile(const QString& title, const QString& suggested, const QString& filters);
  std::vector<MeasureRow> measureRows() const;
  QString seriesNote() const;
  // The file of the recording's name with `suffix` for its extension.
  QString besideRecording(const QString& suffix) const;
  double seconds(double samples) const;
  beats::SampleStretch wholeRecording() const;

  QString file_;         // of the recording shown
  QString openingFile_;  // of the one being opened
  std::shared_ptr<editing::OpenedRecording> opened_;
  std::unique_ptr<editing::BeatList> beats_;
  beats::SampleStretch stretch_;
  hrv::Measures measures_;
  std::uint64_t measuresGeneration_ = 0;
  bool nonlinearPending_ = false;
  std::vector<std::pair<std::uint64_t, std::jthread>> nonlinearWorkers_;
  std::uint64_t stripGeneration_ = 0;
  std::vector<std::pair<std::uint64_t, std::jthread>> stripWorkers_;
  editing::StretchSeries stretchSeries_;
  beats::CorrectionLevel correctionLevel_ = beats::CorrectionLevel::automatic;
  hrv::MeasureOptions measureOptions_;  // how the spectra are prepared
  std::vector<beats::SampleStretch> samples_;
  bool combined_ = false;  // the measures are the samples' together
  std::jthread loading_;
  RecordingDialogs dialogs_;
  std::function<void(const QString&)> sendToAnalysis_;
  QTemporaryDir textFolder_;  // the stretches sent to the analysis window

  QProgressBar* progress_ = nullptr;
  QLabel* info_ = nullptr;
  QLabel* warnings_ = nullptr;  // what the reader overlooked in the file
  TachogramView* tachogram_ = nullptr;
  WindowStripView* windowStrip_ = nullptr;
  std::optional<hrv::Measure> windowMeasure_;
  QLineEdit* stretchStart_ = nullptr;
  QLineEdit* stretchLength_ = nullptr;
  QLineEdit* goTo_ = nullptr;
  QComboBox* correction_ = nullptr;
  EcgStripView* strip_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  MeasureTableWidget* table_ = nullptr;
  StretchChartsView* charts_ = nullptr;
  SampleListView* sampleList_ = nullptr;
  QCheckBox* detrend_ = nullptr;
  QLineEdit* lambda_ = nullptr;
  QLabel* summary_ = nullptr;
  QWidget* content_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QPushButton* undoButton_ = nullptr;
  QPushButton* redoButton_ = nullptr;
};

}  // namespace rrscope::ui
