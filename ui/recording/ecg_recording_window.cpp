#include "ui/recording/ecg_recording_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>
#include <cmath>
#include <filesystem>

#include "editing/beat_list_files.h"
#include "editing/beat_snap.h"
#include "editing/series_export.h"
#include "pipeline/recording_samples.h"
#include "ui/app_icon.h"
#include "ui/measure_table_widget.h"
#include "ui/recording/beat_colours.h"
#include "ui/recording/clock_text.h"
#include "ui/recording/correction_level_name.h"
#include "ui/recording/ecg_strip_view.h"
#include "ui/recording/recording_error_text.h"
#include "ui/recording/recording_files.h"
#include "ui/recording/sample_list_view.h"
#include "ui/recording/saved_beats_check.h"
#include "ui/recording/stretch_charts_view.h"
#include "ui/recording/tachogram_view.h"
#include "ui/recording/window_strip_view.h"
#include "ui/russian_dialogs.h"

namespace rrscope::ui {
namespace {

// The measures a long stretch gets from a worker thread.
constexpr std::array<hrv::Measure, 5> kNonlinearMeasures{
    hrv::Measure::sampen, hrv::Measure::sampenR, hrv::Measure::apen, hrv::Measure::dfaAlpha1,
    hrv::Measure::dfaAlpha2};

// "5 мин": the short-term recording of the HRV standards.
constexpr double kShortTermSeconds = 300;
// The scroll bar counts in tenths of a second: a day fits in an int.
constexpr double kScrollStepsPerSecond = 10;
// A QRS complex farther than this from where a beat was dropped is not the
// one meant; the beat stays where it was dropped.
constexpr double kSnapReachSeconds = 0.1;
// The measures the strip under the tachogram offers: one of each kind.
constexpr std::array<std::pair<hrv::Measure, std::string_view>, 3> kWindowMeasures{{
    {hrv::Measure::rmssd, "RMSSD"},
    {hrv::Measure::lfHf, "LF/HF"},
    {hrv::Measure::dfaAlpha1, "DFA α1"},
}};

// The progress bar counts in thousandths.
constexpr int kProgressSteps = 1000;

QPushButton* namedButton(const QString& caption, const QString& name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAccessibleName(caption);
  return button;
}

QLabel* legendEntry(const QColor& colour, const QString& name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setText(QStringLiteral("<span style=\"color:%1\">▼</span> %2").arg(colour.name(), name));
  // The glyph is the mark's colour, which a screen reader cannot show.
  label->setAccessibleName(name);
  return label;
}

// The marks' colours: the sources of N beats on one row, the other classes,
// whose letter stands beside their mark, on the next.
QLayout* legendRows(QWidget* parent) {
  auto* rows = new QVBoxLayout;
  auto* sources = new QHBoxLayout;
  for (const editing::BeatSource source :
       {editing::BeatSource::detected, editing::BeatSource::moved, editing::BeatSource::inserted,
        editing::BeatSource::added}) {
    sources->addWidget(legendEntry(beatColour(source), beatSourceName(source), parent));
  }
  sources->addStretch();
  auto* classes = new QHBoxLayout;
  for (const beats::BeatClass beatClass : beats::kBeatClasses) {
    if (beatClass == beats::BeatClass::N) continue;
    classes->addWidget(legendEntry(classColour(beatClass), beatClassName(beatClass), parent));
  }
  classes->addStretch();
  rows->addLayout(sources);
  rows->addLayout(classes);
  return rows;
}

}  // namespace

EcgRecordingWindow::EcgRecordingWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("EcgRecordingWindow"));
  setWindowTitle(QStringLiteral("Запись ЭКГ"));
  setWindowIcon(applicationIcon());
  setAttribute(Qt::WA_DeleteOnClose);
  buildLayout();
  connectViews();
  resize(1240, 820);
}

EcgRecordingWindow::~EcgRecordingWindow() {
  // The analysis and the workers post to this window; they must end before
  // the window does.
  if (loading_.joinable()) loading_.join();
  nonlinearWorkers_.clear();
  stripWorkers_.clear();
}

void EcgRecordingWindow::buildLayout() {
  auto* layout = new QVBoxLayout(this);
  info_ = new QLabel(QStringLiteral("Запись не открыта."), this);
  info_->setObjectName(QStringLiteral("recordingInfo"));
  info_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  info_->setWordWrap(true);
  auto* top = new QHBoxLayout;
  top->addWidget(info_, 1);
  auto* open =
      namedButton(QStringLiteral("Открыть запись…"), QStringLiteral("openRecording"), this);
  connect(open, &QPushButton::clicked, this, [this] { chooseAndOpen(); });
  top->addWidget(open);
  layout->addLayout(top);
  warnings_ = new QLabel(this);
  warnings_->setObjectName(QStringLiteral("readerWarnings"));
  warnings_->setWordWrap(true);
  warnings_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  warnings_->setStyleSheet(QStringLiteral("color: #9a4a00"));
  warnings_->hide();
  layout->addWidget(warnings_);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setAccessibleName(QStringLiteral("Ход анализа записи"));
  progress_->setRange(0, kProgressSteps);
  progress_->setFormat(QStringLiteral("Анализ записи… %p%"));
  progress_->hide();
  layout->addWidget(progress_);

  content_ = new QWidget(this);
  auto* contentLayout = new QVBoxLayout(content_);
  contentLayout->setContentsMargins(0, 0, 0, 0);
  tachogram_ = new TachogramView(content_);
  contentLayout->addWidget(tachogram_, 2);
  windowStrip_ = new WindowStripView(content_);
  windowStrip_->hide();
  contentLayout->addWidget(windowStrip_, 1);
  contentLayout->addWidget(buildStretchRow());

  auto* splitter = new QSplitter(Qt::Horizontal, content_);
  auto* stripPane = new QWidget(splitter);
  auto* stripLayout = new QVBoxLayout(stripPane);
  stripLayout->setContentsMargins(0, 0, 0, 0);
  strip_ = new EcgStripView(stripPane);
  scroll_ = new QScrollBar(Qt::Horizontal, stripPane);
  scroll_->setObjectName(QStringLiteral("stripScroll"));
  scroll_->setAccessibleName(QStringLiteral("Положение полосы ЭКГ в записи"));
  scroll_->setFocusPolicy(Qt::StrongFocus);
  stripLayout->addWidget(strip_, 1);
  stripLayout->addWidget(scroll_);
  auto* hint = new QLabel(
      QStringLiteral(
          "Щелчок — добавить удар, протяжка отметки — сдвинуть (Alt — без привязки к "
          "QRS, Ctrl+стрелки — по отсчёту), Delete — удалить, N/S/V/F/Q или правая "
          "кнопка — класс удара, Shift+протяжка или U — нечитаемый участок (Shift+U — снять), "
          "колесо или +/- — масштаб"),
      stripPane);
  hint->setWordWrap(true);
  stripLayout->addLayout(legendRows(stripPane));
  stripLayout->addWidget(hint);

  auto* measuresPane = new QWidget(splitter);
  auto* measuresLayout = new QVBoxLayout(measuresPane);
  measuresLayout->setContentsMargins(0, 0, 0, 0);
  summary_ = new QLabel(measuresPane);
  summary_->setObjectName(QStringLiteral("stretchSummary"));
  summary_->setWordWrap(true);
  measuresLayout->addWidget(summary_);
  measuresLayout->addWidget(buildDetrendRow(measuresPane));
  auto* tabs = new QTabWidget(measuresPane);
  tabs->setObjectName(QStringLiteral("measureTabs"));
  tabs->setAccessibleName(QStringLiteral("Показатели, спектры и выборки"));
  table_ = new MeasureTableWidget(tabs);
  charts_ = new StretchChartsView(tabs);
  tabs->addTab(table_, QStringLiteral("Показатели"));
  tabs->addTab(charts_, QStringLiteral("Спектры и Пуанкаре"));
  sampleList_ = new SampleListView(tabs);
  tabs->addTab(sampleList_, QStringLiteral("Выборки"));
  connect(sampleList_, &SampleListView::addRequested, this, [this] { addSample(); });
  connect(sampleList_, &SampleListView::removeRequested, this,
          [this](int index) { removeSample(static_cast<std::size_t>(index)); });
  connect(sampleList_, &SampleListView::chosen, this,
          [this](int index) { chooseSample(static_cast<std::size_t>(index)); });
  measuresLayout->addWidget(tabs, 1);
  splitter->addWidget(stripPane);
  splitter->addWidget(measuresPane);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  // The table's three columns need about this much to show without scrolling.
  splitter->setSizes({760, 440});
  contentLayout->addWidget(splitter, 5);
  contentLayout->addWidget(buildButtonRow());
  content_->setEnabled(false);
  layout->addWidget(content_, 1);

  undoAction_ = new QAction(QStringLiteral("Отменить"), this);
  undoAction_->setShortcuts({QKeySequence::Undo});
  connect(undoAction_, &QAction::triggered, this, [this] { undo(); });
  redoAction_ = new QAction(QStringLiteral("Повторить"), this);
  // Ctrl+Y everywhere, and the platform's own redo keys beside it.
  QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::Key_Y)};
  for (const QKeySequence& keys : QKeySequence::keyBindings(QKeySequence::Redo)) {
    if (!redoKeys.contains(keys)) redoKeys << keys;
  }
  redoAction_->setShortcuts(redoKeys);
  connect(redoAction_, &QAction::triggered, this, [this] { redo(); });
  addAction(undoAction_);
  addAction(redoAction_);
  undoButton_ = findChild<QPushButton*>(QStringLiteral("undo"));
  redoButton_ = findChild<QPushButton*>(QStringLiteral("redo"));
  updateUndoState();
}

void EcgRecordingWindow::updateUndoState() {
  const bool canUndo = beats_ && beats_->canUndo();
  const bool canRedo = beats_ && beats_->canRedo();
  undoAction_->setEnabled(canUndo);
  undoButton_->setEnabled(canUndo);
  redoAction_->setEnabled(canRedo);
  redoButton_->setEnabled(canRedo);
}

QWidget* EcgRecordingWindow::buildStretchRow() {
  auto* row = new QWidget(content_);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* startLabel = new QLabel(QStringLiteral("Начало отрезка:"), row);
  stretchStart_ = new QLineEdit(row);
  stretchStart_->setObjectName(QStringLiteral("stretchStart"));
  stretchStart_->setAccessibleName(QStringLiteral("Начало отрезка, ч:мм:сс"));
  startLabel->setBuddy(stretchStart_);
  auto* lengthLabel = new QLabel(QStringLiteral("Длительность:"), row);
  stretchLength_ = new QLineEdit(row);
  stretchLength_->setObjectName(QStringLiteral("stretchLength"));
  stretchLength_->setAccessibleName(QStringLiteral("Длительность отрезка, ч:мм:сс"));
  lengthLabel->setBuddy(stretchLength_);
  for (QLineEdit* field : {stretchStart_, stretchLength_}) {
    field->setMaximumWidth(110);
    connect(field, &QLineEdit::editingFinished, this, [this] { readStretchFields(); });
  }
  auto* whole = namedButton(QStringLiteral("вся запись"), QStringLiteral("wholeRecording"), row);
  auto* five = namedButton(QStringLiteral("5 мин"), QStringLiteral("fiveMinutes"), row);
  connect(whole, &QPushButton::clicked, this, [this] { setWholeStretch(); });
  connect(five, &QPushButton::clicked, this, [this] { setFiveMinutes(); });
  layout->addWidget(startLabel);
  layout->addWidget(stretchStart_);
  layout->addWidget(lengthLabel);
  layout->addWidget(stretchLength_);
  layout->addWidget(whole);
  layout->addWidget(five);
  layout->addSpacing(24);
  layout->addWidget(buildCorrectionChoice(row));
  layout->addSpacing(24);
  auto* shown = new QComboBox(row);
  shown->setObjectName(QStringLiteral("tachogramValue"));
  shown->setAccessibleName(QStringLiteral("Ритмограмма показывает"));
  shown->addItems({QStringLiteral("NN, мс"), QStringLiteral("ЧСС, уд/мин")});
  connect(shown, &QComboBox::currentIndexChanged, this,
          [this](int index) { tachogram_->setShowsHeartRate(index == 1); });
  layout->addWidget(shown);
  layout->addWidget(buildWindowMeasureChoice(row));
  layout->addSpacing(24);
  auto* goToLabel = new QLabel(QStringLiteral("Перейти к:"), row);
  goTo_ = new QLineEdit(row);
  goTo_->setObjectName(QStringLiteral("goTo"));
  goTo_->setAccessibleName(QStringLiteral("Показать ЭКГ с времени, ч:мм:сс"));
  goTo_->setPlaceholderText(QStringLiteral("ч:мм:сс"));
  goTo_->setMaximumWidth(110);
  goToLabel->setBuddy(goTo_);
  connect(goTo_, &QLineEdit::returnPressed, this, [this] { goToTypedTime(); });
  layout->addWidget(goToLabel);
  layout->addWidget(goTo_);
  layout->addStretch();
  return row;
}

QWidget* EcgRecordingWindow::buildCorrectionChoice(QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(QStringLiteral("Коррекция:"), box);
  correction_ = new QComboBox(box);
  correction_->setObjectName(QStringLiteral("correctionLevel"));
  correction_->setAccessibleName(QStringLiteral("Коррекция артефактов"));
  for (const beats::CorrectionLevel level : beats::kCorrectionLevels) {
    correction_->addItem(correctionLevelName(level), static_cast<int>(level));
  }
  correction_->setCurrentIndex(correction_->findData(static_cast<int>(correctionLevel_)));
  label->setBuddy(correction_);
  connect(correction_, &QComboBox::activated, this, [this](int index) {
    const auto level = static_cast<beats::CorrectionLevel>(correction_->itemData(index).toInt());
    if (!setCorrectionLevel(level)) {
      correction_->setCurrentIndex(correction_->findData(static_cast<int>(correctionLevel_)));
    }
  });
  layout->addWidget(label);
  layout->addWidget(correction_);
  return box;
}

QWidget* EcgRecordingWindow::buildWindowMeasureChoice(QWidget* parent) {
  auto* choice = new QComboBox(parent);
  choice->setObjectName(QStringLiteral("windowMeasure"));
  choice->setAccessibleName(QStringLiteral("Показатель по окнам под ритмограммой"));
  choice->addItem(QStringLiteral("по окнам: нет"));
  for (const auto& [measure, name] : kWindowMeasures) {
    choice->addItem(QStringLiteral("по окнам: %1").arg(QString::fromUtf8(name.data())),
                    static_cast<int>(measure));
  }
  connect(choice, &QComboBox::currentIndexChanged, this, [this, choice](int index) {
    setWindowMeasure(
        index == 0 ? std::nullopt
                   : std::optional(static_cast<hrv::Measure>(choice->itemData(index).toInt())));
  });
  return choice;
}

QWidget* EcgRecordingWindow::buildDetrendRow(QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  detrend_ = new QCheckBox(QStringLiteral("Убрать тренд (сглаживающие приоры), λ:"), row);
  detrend_->setObjectName(QStringLiteral("detrend"));
  lambda_ = new QLineEdit(QString::number(measureOptions_.lambda), row);
  lambda_->setObjectName(QStringLiteral("lambda"));
  lambda_->setAccessibleName(QStringLiteral("λ сглаживающих приоров, от 10 до 1000000"));
  lambda_->setMaximumWidth(90);
  connect(detrend_, &QCheckBox::toggled, this, [this] { readDetrendFields(); });
  connect(lambda_, &QLineEdit::editingFinished, this, [this] { readDetrendFields(); });
  layout->addWidget(detrend_);
  layout->addWidget(lambda_);
  layout->addStretch();
  return row;
}

void EcgRecordingWindow::readDetrendFields() {
  bool number = false;
  const double lambda = lambda_->text().replace(',', '.').toDouble(&number);
  if (!detrend_->isChecked()) {
    setDetrending(std::nullopt);
  } else if (!number || !setDetrending(lambda)) {
    reportError(QStringLiteral("Неверное λ"),
                QStringLiteral("λ сглаживающих приоров — число от 10 до 1000000, например 500."));
    lambda_->setText(QString::number(measureOptions_.lambda));
  }
}

bool EcgRecordingWindow::setDetrending(std::optional<double> lambda) {
  if (lambda && !hrv::isValidLambda(*lambda)) return false;
  measureOptions_.detrend = lambda ? hrv::Detrend::smoothnessPriors : hrv::Detrend::none;
  if (lambda) measureOptions_.lambda = *lambda;
  const QSignalBlocker quiet(detrend_);
  detrend_->setChecked(lambda.has_value());
  if (beats_) refreshMeasures();
  return true;
}

QWidget* EcgRecordingWindow::buildButtonRow() {
  auto* row = new QWidget(content_);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  const std::array<std::tuple<QString, QString, void (EcgRecordingWindow::*)()>, 7> buttons{{
      {QStringLiteral("Отменить"), QStringLiteral("undo"), &EcgRecordingWindow::undo},
      {QStringLiteral("Повторить"), QStringLiteral("redo"), &EcgRecordingWindow::redo},
      {QStringLiteral("Сохранить удары"), QStringLiteral("saveBeats"),
       &EcgRecordingWindow::saveBeats},
      {QStringLiteral("Отчёт…"), QStringLiteral("report"), &EcgRecordingWindow::writeReport},
      {QStringLiteral("Экспорт NN…"), QStringLiteral("exportNn"), &EcgRecordingWindow::exportNn},
      {QStringLiteral("Экспорт показателей…"), QStringLiteral("exportMeasures"),
       &EcgRecordingWindow::exportMeasures},
      {QStringLiteral("В окно анализа"), QStringLiteral("toAnalysis"),
       &EcgRecordingWindow::sendToAnalysis},
  }};
  for (const auto& [caption, name, action] : buttons) {
    QPushButton* button = namedButton(caption, name, row);
    connect(button, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
    layout->addWidget(button);
    if (name == QStringLiteral("redo")) layout->addSpacing(24);
  }
  layout->addStretch();
  return row;
}

void EcgRecordingWindow::connectViews() {
  connect(tachogram_, &TachogramView::stretchChosen, this, [this](double begin, double end) {
    setStretch({begin, end});
  });
  connect(tachogram_, &TachogramView::cursorChosen, this,
          [this](double sample) { strip_->centreOn(sample); });
  connect(strip_, &EcgStripView::viewChanged, this, [this] {
    syncScrollBar();
    tachogram_->setCursor(strip_->startSample() + strip_->widthSamples() / 2);
  });
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
    if (beats_) strip_->scrollTo(value / kScrollStepsPerSecond * beats_->rate());
  });
  connect(strip_, &EcgStripView::addRequested, this, [this](double sample) { addBeat(sample); });
  connect(strip_, &EcgStripView::removeRequested, this,
          [this](std::size_t index) { removeBeat(index); });
  connect(
      strip_, &EcgStripView::moveRequested, this,
      [this](std::size_t index, double sample, bool freely) { moveBeat(index, sample, freely); });
  connect(strip_, &EcgStripView::relabelRequested, this,
          [this](std::size_t index, beats::BeatClass beatClass) { relabelBeat(index, beatClass); });
  connect(strip_, &EcgStripView::markRequested, this,
          [this](double begin, double end) { markUnreadable(begin, end, true); });
  connect(strip_, &EcgStripView::clearRequested, this,
          [this](double begin, double end) { markUnreadable(begin, end, false); });
}

void EcgRecordingWindow::setDialogs(RecordingDialogs dialogs) {
  dialogs_ = std::move(dialogs);
}

void EcgRecordingWindow::setAnalysisSender(std::function<void(const QString&)> send) {
  sendToAnalysis_ = std::move(send);
}

const editing::BeatList* EcgRecordingWindow::beats() const {
  return beats_.get();
}

beats::SampleStretch EcgRecordingWindow::wholeRecording() const {
  return {0, beats_ ? static_cast<double>(beats_->sampleCount()) : 0};
}

double EcgRecordingWindow::seconds(double samples) const {
  return beats_ ? samples / beats_->rate() : 0;
}

// --- Opening -------------------------------------------------------------

void EcgRecordingWindow::openFile(const QString& file) {
  if (loading_.joinable()) loading_.join();
  openingFile_ = file;
  setWindowTitle(QStringLiteral("Запись ЭКГ — %1").arg(QFileInfo(file).fileName()));
  info_->setText(QStringLiteral("Открывается %1…").arg(QDir::toNativeSeparators(file)));
  progress_->setValue(0);
  progress_->show();
  content_->setEnabled(false);
  const std::string path = file.toStdString();
  loading_ = std::jthread([this, path] {
    const pipeline::Progress progress = [this](double done) {
      QMetaObject::invokeMethod(
          this, [this, done] { progress_->setValue(static_cast<int>(done * kProgressSteps)); },
          Qt::QueuedConnection);
    };
    try {
      auto opened =
          std::make_shared<editing::OpenedRecording>(editing::openRecording(path, progress));
      QMetaObject::invokeMethod(
          this, [this, opened] { finishLoading(opened); }, Qt::QueuedConnection);
    } catch (const std::exception& error) {
      const QString message = recordingErrorText(QString::fromStdString(path), error.what());
      QMetaObject::invokeMethod(
          this, [this, message] { failLoading(message); }, Qt::QueuedConnection);
    }
  });
}

void EcgRecordingWindow::finishLoading(std::shared_ptr<editing::OpenedRecording> opened) {
  progress_->hide();
  file_ = openingFile_;
  opened_ = std::move(opened);
  samples_.clear();
  combined_ = false;
  beats_ = std::make_unique<editing::BeatList>(startingBeats(correctionLevel_));
  sampleList_->showSamples(samples_, beats_->rate(), -1);
  stretch_ = wholeRecording();
  showRecording();
  content_->setEnabled(true);
  offerSavedBeats();
  emit loaded();
}

// The recording shown before stays, and with it the window's title; a
// window that showed none says why, and "Открыть запись…" tries another.
void EcgRecordingWindow::failLoading(const QString& message) {
  progress_->hide();
  showTitle();
  if (opened_) {
    showRecording();
    content_->setEnabled(true);
  } else {
    info_->setText(QStringLiteral("Запись не открыта: %1").arg(message));
  }
  reportError(QStringLiteral("Ошибка чтения записи"), message);
  emit loadFailed(message);
}

// The reader's warnings, as the batch tool gives them, stay in view: the
// file broke the letter of its format, and the user should know how.
void EcgRecordingWindow::showReaderWarnings() {
  const std::vector<std::string> none;
  const std::vector<std::string>& warnings =
      opened_ && opened_->recording ? opened_->recording->warnings : none;
  QStringList lines;
  for (const std::string& warning : warnings) lines << QString::fromStdString(warning);
  warnings_->setText(
      QStringLiteral("Предупреждения при чтении файла: %1").arg(lines.join(QStringLiteral("; "))));
  warnings_->setAccessibleName(warnings_->text());
  warnings_->setVisible(!lines.isEmpty());
}

void EcgRecordingWindow::showTitle() {
  setWindowTitle(file_.isEmpty()
                     ? QStringLiteral("Запись ЭКГ")
                     : QStringLiteral("Запись ЭКГ — %1").arg(QFileInfo(file_).fileName()));
}

void EcgRecordingWindow::chooseAndOpen() {
  const QString file =
      dialogs_.chooseOpenFile
          ? dialogs_.chooseOpenFile()
          : QFileDialog::getOpenFileName(
                this, QStringLiteral("Открыть запись"), QFileInfo(file_).path(),
                QStringLiteral("Записи ЭКГ и RR-интервалов (*.edf *.bdf *.hea *.ecg *.gdf *.rr);;"
                               "Все файлы (*)"));
  if (!file.isEmpty()) openFile(file);
}

// Beats saved from this window before come back when the user wants them,
// and only into the recording they were saved from.
void EcgRecordingWindow::offerSavedBeats() {
  const std::filesystem::path saved = editing::beatAnnotationPath(file_.toStdString());
  std::error_code missing;
  if (!std::filesystem::exists(saved, missing)) return;
  const QString name = QString::fromStdString(saved.filename().string());
  editing::SavedBeats beats;
  try {
    beats = editing::readBeatAnnotations(saved, beatRate(*opened_));
  } catch (const std::exception& error) {
    reportError(QStringLiteral("Ошибка чтения ударов"),
                QStringLiteral("Сохранённые удары (%1) не прочитаны: %2").arg(name, error.what()));
    return;
  }
  if (const std::optional<QString> mismatch =
          savedBeatsMismatch(beats, editing::identityOf(*opened_))) {
    reportError(QStringLiteral("Удары не восстановлены"),
                QStringLiteral("%1: %2").arg(name, *mismatch));
    return;
  }
  const QString question =
      QStringLiteral("Для этой записи есть сохранённые удары (%1). Восстановить их?").arg(name);
  const bool restore =
      dialogs_.ask ? dialogs_.ask(question) : askYesNo(this, windowTitle(), question, true);
  if (!restore) return;
  // The beats come back at the level they were edited at.
  correctionLevel_ = beats.notes.correction.value_or(correctionLevel_);
  samples_ = beats.notes.samples;
  sampleList_->showSamples(samples_, beats_->rate(), -1);
  correction_->setCurrentIndex(correction_->findData(static_cast<int>(correctionLevel_)));
  beats_ = std::make_unique<editing::BeatList>(
      editing::restoredBeatList(std::move(beats), startingBeats(correctionLevel_)));
  showRecording();
}

void EcgRecordingWindow::showRecording() {
  const recordings::Recording* recording = opened_->recording ? &*opened_->recording : nullptr;
  const double duration = seconds(static_cast<double>(beats_->sampleCount()));
  info_->setText(
      recording
          ? QStringLiteral("%1 — отведение %2, %3 Гц, %4")
                .arg(QDir::toNativeSeparators(file_), QString::fromStdString(recording->channel),
                     QString::number(recording->rate.hertz(), 'g', 10), clockText(duration))
          : QStringLiteral("%1 — RR-интервалы, %2")
                .arg(QDir::toNativeSeparators(file_), clockText(duration)));
  showReaderWarnings();
  strip_->showRecording(recording, beats_.get());
  scroll_->setRange(0, static_cast<int>(std::max(
                           0.0, (duration - strip_->widthSeconds()) * kScrollStepsPerSecond)));
  scroll_->setPageStep(static_cast<int>(strip_->widthSeconds() * kScrollStepsPerSecond));
  tachogram_->setCursor(strip_->widthSamples() / 2);
  tachogram_->setStretch(stretch_);
  showStretchFields();
  refreshAfterEdit(std::nullopt);
}

// --- The stretch -----------------------------------------------------------

void EcgRecordingWindow::setStretch(beats::SampleStretch stretch) {
  if (!beats_) return;
  const auto total = static_cast<double>(beats_->sampleCount());
  const double begin = std::clamp(std::min(stretch.begin, stretch.end), 0.0, total);
  const double end = std::clamp(std::max(stretch.begin, stretch.end), begin, total);
  stretch_ = {begin, end};
  combined_ = false;
  tachogram_->setStretch(stretch_);
  showStretchFields();
  refreshMeasures();
}

void EcgRecordingWindow::showStretchFields() {
  stretchStart_->setText(clockText(seconds(stretch_.begin)));
  stretchLength_->setText(clockText(seconds(stretch_.end - stretch_.begin)));
}

void EcgRecordingWindow::readStretchFields() {
  if (!beats_) return;
  const std::optional<double> start = parseClock(stretchStart_->text());
  const std::optional<double> length = parseClock(stretchLength_->text());
  if (!start || !length) {
    reportError(QStringLiteral("Неверное время"),
                QStringLiteral("Время пишется как ч:мм:сс, мм:сс или в секундах, например "
                               "0:05:00 или 300."));
    showStretchFields();
    return;
  }
  const double rate = beats_->rate();
  if (std::abs(*start * rate - stretch_.begin) < rate / 2 &&
      std::abs(*length * rate - (stretch_.end - stretch_.begin)) < rate / 2) {
    return;  // what the fields show already, to the second
  }
  setStretch({*start * rate, (*start + *length) * rate});
}

void EcgRecordingWindow::goToTypedTime() {
  if (!beats_) return;
  const std::optional<double> at = parseClock(goTo_->text());
  if (!at) {
    reportError(QStringLiteral("Неверное время"),
                QStringLiteral("Время пишется как ч:мм:сс, мм:сс или в секундах, например "
                               "0:05:00 или 300."));
    return;
  }
  strip_->scrollTo(*at * beats_->rate());
}

void EcgRecordingWindow::setWholeStretch() {
  if (beats_) setStretch(wholeRecording());
}

// Five minutes from where the strip shows, moved back to fit the recording.
void EcgRecordingWindow::setFiveMinutes() {
  if (!beats_) return;
  const double length = kShortTermSeconds * beats_->rate();
  const auto total = static_cast<double>(beats_->sampleCount());
  const double begin = std::max(0.0, std::min(strip_->startSample(), total - length));
  setStretch({begin, begin + length});
}

// --- The samples ---------------------------------------------------------

void EcgRecordingWindow::addSample() {
  if (!beats_) return;
  samples_.push_back(stretch_);
  showSamples(samples_.size() - 1);
}

void EcgRecordingWindow::removeSample(std::size_t index) {
  if (index >= samples_.size()) return;
  samples_.erase(samples_.begin() + static_cast<std::ptrdiff_t>(index));
  combined_ = false;
  showSamples(samples_.size());
  refreshMeasures();
}

void EcgRecordingWindow::chooseSample(std::size_t index) {
  if (!beats_) return;
  if (index < samples_.size()) {
    setStretch(samples_[index]);
  } else if (!samples_.empty()) {
    combined_ = true;
    refreshMeasures();
  }
}

void EcgRecordingWindow::showSamples(std::size_t chosen) {
  sampleList_->showSamples(samples_, beats_ ? beats_->rate() : 1, static_cast<int>(chosen));
}

editing::StretchSeries EcgRecordingWindow::combinedSeries() const {
  editing::StretchSeries combined;
  for (const beats::SampleStretch& sample : samples_) {
    const editing::StretchSeries series = correctedSeries(sample);
    combined.intervalsMs.insert(combined.intervalsMs.end(), series.intervalsMs.begin(),
                                series.intervalsMs.end());
    combined.ends.insert(combined.ends.end(), series.ends.begin(), series.ends.end());
    combined.beats += series.beats;
    combined.excludedBeats += series.excludedBeats;
    combined.excludedIntervals += series.excludedIntervals;
    combined.ectopicIntervals += series.ectopicIntervals;
    combined.unreadableShare += series.unreadableShare / static_cast<double>(samples_.size());
  }
  return combined;
}

// --- The correction ------------------------------------------------------

editing::BeatList EcgRecordingWindow::startingBeats(beats::CorrectionLevel level) const {
  const pipeline::RecordingAnalysis& analysis = opened_->analysis;
  if (level != beats::CorrectionLevel::off || !opened_->recording) return opened_->beats;
  std::vector<beats::BeatClass> classes = analysis.detectedClasses;
  return editing::BeatList(analysis.detected,
                           std::vector(analysis.detected.size(), editing::BeatSource::detected),
                           {opened_->beats.unreadable().begin(), opened_->beats.unreadable().end()},
                           opened_->beats.rate(), opened_->beats.sampleCount(), std::move(classes));
}

bool EcgRecordingWindow::setCorrectionLevel(beats::CorrectionLevel level) {
  if (!beats_) return false;
  const bool offBefore = correctionLevel_ == beats::CorrectionLevel::off;
  const bool offAfter = level == beats::CorrectionLevel::off;
  if (offBefore != offAfter && opened_->recording) {
    if (beats_->canUndo()) {
      const QString question = QStringLiteral(
          "Другая коррекция начинается с ударов анализа заново: правки ударов вручную будут "
          "потеряны. Продолжить?");
      const bool agreed =
          dialogs_.ask ? dialogs_.ask(question) : askYesNo(this, windowTitle(), question, false);
      if (!agreed) return false;
    }
    correctionLevel_ = level;
    beats_ = std::make_unique<editing::BeatList>(startingBeats(level));
    showRecording();
  } else {
    correctionLevel_ = level;
    refreshAfterEdit(strip_->selectedBeat());
  }
  correction_->setCurrentIndex(correction_->findData(static_cast<int>(level)));
  return true;
}

editing::StretchSeries EcgRecordingWindow::correctedSeries(beats::SampleStretch stretch) const {
  editing::StretchSeries series = beats_->series(stretch);
  if (const std::optional<double> seconds = beats::thresholdSeconds(correctionLevel_)) {
    series.intervalsMs = beats::correctByThreshold(series.intervalsMs, *seconds).intervalsMs;
  }
  return series;
}

// --- The measures over time ----------------------------------------------

void EcgRecordingWindow::setWindowMeasure(std::optional<hrv::Measure> measure) {
  windowMeasure_ = measure;
  windowStrip_->setVisible(measure.has_value());
  if (beats_) refreshWindowStrip(correctedSeries(wholeRecording()));
}

// The windows of the whole recording's series, timed by their beats: those
// of unreadable stretches are left out and leave gaps, as in the report.
void EcgRecordingWindow::refreshWindowStrip(const editing::StretchSeries& whole) {
  const std::uint64_t generation = ++stripGeneration_;
  if (!windowMeasure_ || whole.intervalsMs.empty()) {
    showWindowStrip(generation, {});
    return;
  }
  // One worker at a time: edits made meanwhile are taken up, all at once,
  // when it is done, rather than each starting seconds of spectra.
  if (!stripWorkers_.empty()) return;
  const std::span<const double> positions = beats_->positions();
  const double rate = beats_->rate();
  const double first = positions[whole.ends.front() - 1];
  std::vector<double> endsMs;
  endsMs.reserve(whole.ends.size());
  for (const std::size_t end : whole.ends) endsMs.push_back((positions[end] - first) / rate * 1000);
  stripWorkers_.emplace_back(
      generation,
      std::jthread([this, generation, measure = *windowMeasure_, intervals = whole.intervalsMs,
                    endsMs = std::move(endsMs), start = first / rate] {
        hrv::MeasureOptions options;
        options.groups = measure == hrv::Measure::rmssd  ? hrv::kTimeDomain
                         : measure == hrv::Measure::lfHf ? hrv::kSpectra
                                                         : hrv::kNonlinear;
        std::vector<WindowStripPoint> points;
        for (const hrv::WindowMeasures& window :
             hrv::windowedMeasures(intervals, endsMs, endsMs.back(), {}, options)) {
          const hrv::MeasureValue& value = window.measures[measure];
          points.push_back({start + window.endSeconds,
                            value.defined() ? std::optional(value.value()) : std::nullopt});
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, points = std::move(points)]() mutable {
              showWindowStrip(generation, std::move(points));
            },
            Qt::QueuedConnection);
      }));
}

void EcgRecordingWindow::showWindowStrip(std::uint64_t generation,
                                         std::vector<WindowStripPoint> points) {
  std::erase_if(stripWorkers_,
                [generation](const auto& worker) { return worker.first == generation; });
  if (generation != stripGeneration_) {
    if (beats_) refreshWindowStrip(correctedSeries(wholeRecording()));
    return;
  }
  const auto named =
      std::ranges::find(kWindowMeasures, windowMeasure_.value_or(hrv::Measure::rmssd),
                        &decltype(kWindowMeasures)::value_type::first);
  windowStrip_->showPoints(std::move(points),
                           beats_ ? seconds(static_cast<double>(beats_->sampleCount())) : 0,
                           QString::fromUtf8(named->second.data()));
  emit windowStripShown();
}

// --- Editing -------------------------------------------------------------

double EcgRecordingWindow::snappedToQrs(double sample) const {
  if (!opened_->recording) return sample;
  const pipeline::RecordingSamples samples(*opened_->recording);
  return editing::snapToQrs(samples, beats_->rate(), sample);
}

void EcgRecordingWindow::addBeat(double sample) {
  if (!beats_) return;
  const std::optional<std::size_t> added = beats_->add(snappedToQrs(sample));
  if (added) refreshAfterEdit(added);
}

void EcgRecordingWindow::moveBeat(std::size_t index, double sample, bool freely) {
  if (!beats_ || index >= beats_->size()) return;
  double at = sample;
  if (!freely) {
    const double snapped = snappedToQrs(sample);
    if (std::abs(snapped - sample) <= kSnapReachSeconds * beats_->rate()) at = snapped;
  }
  const std::optional<std::size_t> moved = beats_->move(index, at);
  if (moved) refreshAfterEdit(moved);
}

void EcgRecordingWindow::removeBeat(std::size_t index) {
  if (!beats_ || index >= beats_->size()) return;
  beats_->remove(index);
  refreshAfterEdit(index < beats_->size() ? std::optional(index) : std::nullopt);
}

void EcgRecordingWindow::relabelBeat(std::size_t index, beats::BeatClass beatClass) {
  if (!beats_ || index >= beats_->size() || beats_->classes()[index] == beatClass) return;
  beats_->relabel(index, beatClass);
  refreshAfterEdit(index);
}

void EcgRecordingWindow::markUnreadable(double begin, double end, bool mark) {
  if (!beats_ || end <= begin) return;
  if (mark) {
    beats_->markUnreadable({begin, end});
  } else {
    beats_->clearUnreadable({begin, end});
  }
  refreshAfterEdit(strip_->selectedBeat());
}

void EcgRecordingWindow::undo() {
  if (!beats_ || !beats_->canUndo()) return;
  beats_->undo();
  refreshAfterEdit(strip_->selectedBeat());
}

void EcgRecordingWindow::redo() {
  if (!beats_ || !beats_->canRedo()) return;
  beats_->redo();
  refreshAfterEdit(strip_->selectedBeat());
}

void EcgRecordingWindow::refreshAfterEdit(std::optional<std::size_t> selected) {
  editing::StretchSeries whole = correctedSeries(wholeRecording());
  if (windowMeasure_) refreshWindowStrip(whole);
  strip_->beatsChanged(selected);
  const bool wholeStretch =
      !combined_ && stretch_.begin == 0 && stretch_.end == wholeRecording().end;
  refreshMeasures(wholeStretch ? std::optional(whole) : std::nullopt);
  tachogram_->showBeats(beats_.get(), std::move(whole));
  updateUndoState();
  emit edited();
}

// The entropies and the DFA of a day take longer than an edit may: past
// kLongestSeriesAtOnce intervals they follow from a worker thread, while the
// other measures show at once. A newer edit makes an unfinished result
// stale; only the latest one is shown.
void EcgRecordingWindow::refreshMeasures(std::optional<editing::StretchSeries> series) {
  stretchSeries_ = series      ? std::move(*series)
                   : combined_ ? combinedSeries()
                               : correctedSeries(stretch_);
  ++measuresGeneration_;
  if (stretchSeries_.intervalsMs.size() <= kLongestSeriesAtOnce) {
    measures_ = hrv::computeMeasures(stretchSeries_.intervalsMs, measureOptions_);
    nonlinearPending_ = false;
  } else {
    hrv::MeasureOptions options = measureOptions_;
    options.groups = hrv::kAllGroups & ~hrv::kNonlinear;
    measures_ = hrv::computeMeasures(stretchSeries_.intervalsMs, options);
    nonlinearPending_ = true;
    computeNonlinearInBackground();
  }
  table_->showMeasures(measures_);
  charts_->showStretch(stretchSeries_.intervalsMs, measures_, measureOptions_);
  if (nonlinearPending_) table_->markComputing(kNonlinearMeasures);
  summary_->setText(summaryText());
  if (!nonlinearPending_) emit measuresComplete();
}

void EcgRecordingWindow::computeNonlinearInBackground() {
  const std::uint64_t generation = measuresGeneration_;
  nonlinearWorkers_.emplace_back(
      generation, std::jthread([this, generation, intervals = stretchSeries_.intervalsMs] {
        hrv::MeasureOptions options;
        options.groups = hrv::kNonlinear;
        auto nonlinear = std::make_shared<hrv::Measures>(hrv::computeMeasures(intervals, options));
        QMetaObject::invokeMethod(
            this, [this, generation, nonlinear] { showNonlinear(generation, *nonlinear); },
            Qt::QueuedConnection);
      }));
}

void EcgRecordingWindow::showNonlinear(std::uint64_t generation, const hrv::Measures& nonlinear) {
  // The worker has posted its last word: it ends now, whether its result is
  // still wanted or not.
  std::erase_if(nonlinearWorkers_,
                [generation](const auto& worker) { return worker.first == generation; });
  if (generation != measuresGeneration_) return;
  for (const hrv::Measure measure : kNonlinearMeasures) {
    measures_.values[static_cast<std::size_t>(measure)] = nonlinear[measure];
  }
  measures_.dfa = nonlinear.dfa;
  nonlinearPending_ = false;
  table_->showMeasures(measures_);
  emit measuresComplete();
}

QString EcgRecordingWindow::summaryText() const {
  if (!beats_) return {};
  const QString what =
      combined_ ? QStringLiteral("Все выборки вместе (%1)").arg(samples_.size())
                : QStringLiteral("Отрезок %1–%2")
                      .arg(clockText(seconds(stretch_.begin)), clockText(seconds(stretch_.end)));
  return QStringLiteral(
             "%1: ударов %2, NN-интервалов %3.\n"
             "Исключено интервалов: у нечитаемых участков %4, у ударов не N %5.\n"
             "Правлено ударов вручную: %6. Нечитаемо: %7 % отрезка. Коррекция: %8.")
      .arg(what)
      .arg(stretchSeries_.beats)
      .arg(stretchSeries_.intervalsMs.size())
      .arg(stretchSeries_.excludedIntervals)
      .arg(stretchSeries_.ectopicIntervals)
      .arg(beats_->editedBeats())
      .arg(QString::number(stretchSeries_.unreadableShare * 100, 'f', 1),
           correctionLevelName(correctionLevel_));
}

void EcgRecordingWindow::syncScrollBar() {
  const QSignalBlocker quiet(scroll_);
  scroll_->setPageStep(static_cast<int>(strip_->widthSeconds() * kScrollStepsPerSecond));
  if (beats_) {
    const double duration = seconds(static_cast<double>(beats_->sampleCount()));
    scroll_->setMaximum(static_cast<int>(
        std::max(0.0, (duration - strip_->widthSeconds()) * kScrollStepsPerSecond)));
  }
  scroll_->setValue(static_cast<int>(seconds(strip_->startSample()) * kScrollStepsPerSecond));
}

// --- Outputs -------------------------------------------------------------

QString EcgRecordingWindow::chooseSaveFile(const QString& title, const QString& suggested,
                                           const QString& filters) {
  if (dialogs_.chooseSaveFile) return dialogs_.chooseSaveFile(title, suggested, filters);
  return QFileDialog::getSaveFileName(this, title, suggested, filters);
}

void EcgRecordingWindow::reportError(const QString& title, const QString& text) {
  if (dialogs_.showError) {
    dialogs_.showError(title, text);
    return;
  }
  QMessageBox::critical(this, title, text);
}

void EcgRecordingWindow::saveBeats() {
  if (!beats_) return;
  const QString suggested =
      QString::fromStdString(editing::beatAnnotationPath(file_.toStdString()).string());
  const QString path =
      chooseSaveFile(QStringLiteral("Сохранить удары"), suggested,
                     QStringLiteral("Аннотации WFDB (*.rrscope);;Таблица CSV (*.csv)"));
  if (path.isEmpty()) return;
  try {
    saveBeatFile(path, *beats_, *opened_, correctionLevel_, samples_);
  } catch (const std::exception& error) {
    reportError(QStringLiteral("Ошибка записи"),
                QStringLiteral("Удары не сохранены: %1").arg(error.what()));
  }
}

void EcgRecordingWindow::writeReport() {
  if (!beats_) return;
  const QString suggested = besideRecording(QStringLiteral("-report.pdf"));
  const QString path = chooseSaveFile(QStringLiteral("Отчёт"), suggested,
                                      QStringLiteral("PDF (*.pdf);;Изображение PNG (*.png)"));
  if (path.isEmpty()) return;
  try {
    writeStretchReport(path, *opened_, *beats_, stretch_, stretchSeries_, measures_, seriesNote());
  } catch (const std::exception& error) {
    reportError(QStringLiteral("Ошибка записи"),
                QStringLiteral("Отчёт не сохранён: %1").arg(error.what()));
  }
}

void EcgRecordingWindow::exportNn() {
  if (!beats_) return;
  const QString suggested = besideRecording(QStringLiteral(".rr"));
  const QString path =
      chooseSaveFile(QStringLiteral("Экспорт NN"), suggested,
                     QStringLiteral("RR-интервалы, мс (*.rr *.txt);;Таблица CSV (*.csv)"));
  if (path.isEmpty()) return;
  try {
    const bool csv =
        QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
    writeTextFile(path,
                  csv ? editing::rrCsv(stretchSeries_, *beats_) : editing::rrText(stretchSeries_));
  } catch (const std::exception& error) {
    reportError(QStringLiteral("Ошибка записи"),
                QStringLiteral("NN-интервалы не сохранены: %1").arg(error.what()));
  }
}

// The stretch's measures; with samples, each sample's and theirs together.
std::vector<MeasureRow> EcgRecordingWindow::measureRows() const {
  const double rate = beats_->rate();
  if (samples_.empty()) {
    return {{std::pair(stretch_.begin / rate, stretch_.end / rate),
             stretchSeries_.intervalsMs.size(), measures_}};
  }
  std::vector<MeasureRow> rows;
  for (const beats::SampleStretch& sample : samples_) {
    const std::vector<double> intervals = correctedSeries(sample).intervalsMs;
    rows.push_back({std::pair(sample.begin / rate, sample.end / rate), intervals.size(),
                    hrv::computeMeasures(intervals, measureOptions_)});
  }
  const std::vector<double> together = combinedSeries().intervalsMs;
  rows.push_back({std::nullopt, together.size(), hrv::computeMeasures(together, measureOptions_)});
  return rows;
}

// The correction level, and for the samples together which they are.
QString EcgRecordingWindow::seriesNote() const {
  QString note = correctionLevelName(correctionLevel_);
  if (!combined_) return note;
  QStringList samples;
  for (const beats::SampleStretch& sample : samples_) {
    samples << QStringLiteral("%1–%2").arg(clockText(seconds(sample.begin)),
                                           clockText(seconds(sample.end)));
  }
  return note + QStringLiteral("; выборки вместе: ") + samples.join(QStringLiteral(", "));
}

QString EcgRecordingWindow::besideRecording(const QString& suffix) const {
  const QFileInfo recording(file_);
  return recording.dir().filePath(recording.completeBaseName() + suffix);
}

void EcgRecordingWindow::exportMeasures() {
  if (!beats_) return;
  const QString suggested = besideRecording(QStringLiteral("-measures.csv"));
  const QString path = chooseSaveFile(QStringLiteral("Экспорт показателей"), suggested,
                                      QStringLiteral("Таблица CSV (*.csv)"));
  if (path.isEmpty()) return;
  try {
    writeTextFile(path,
                  measuresCsv(QFileInfo(file_).fileName(), measureRows(),
                              beats::correctionLevelWord(correctionLevel_), !samples_.empty()));
  } catch (const std::exception& error) {
    reportError(QStringLiteral("Ошибка записи"),
                QStringLiteral("Показатели не сохранены: %1").arg(error.what()));
  }
}

void EcgRecordingWindow::sendToAnalysis() {
  if (!beats_) return;
  if (!opened_->recording) {
    reportError(QStringLiteral("Нет ЭКГ"),
                QStringLiteral("В файле RR-интервалов нет ЭКГ, которую можно передать в окно "
                               "анализа."));
    return;
  }
  try {
    const QString text = writeStretchText(*opened_->recording, stretch_, textFolder_.path());
    if (sendToAnalysis_) sendToAnalysis_(text);
  } catch (const StretchTooLong& error) {
    reportError(QStringLiteral("Слишком длинный отрезок"), QString::fromUtf8(error.what()));
  } catch (const std::exception& error) {
    reportError(QStringLiteral("Ошибка записи"),
                QStringLiteral("Отрезок не передан: %1").arg(error.what()));
  }
}

}  // namespace rrscope::ui
