#include "ui/form1.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <utility>

#include "analysis/rr_milliseconds.h"
#include "editing/opened_recording.h"
#include "ui/app_icon.h"
#include "ui/caption_label.h"
#include "ui/chart_box.h"
#include "ui/chart_description.h"
#include "ui/control_names.h"
#include "ui/control_table.h"
#include "ui/error_box_text.h"
#include "ui/measures_window.h"
#include "ui/override_cursor.h"
#include "ui/recording/ecg_recording_window.h"
#include "ui/wrapping_button.h"

namespace rrscope {
namespace {

using ui::ControlKind;
using ui::ControlRow;

constexpr std::array<std::string_view, 9> kTextBoxNames = {
    "Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9"};
constexpr std::array<std::string_view, 6> kCaptionNames = {"sam",     "TR",      "Label8",
                                                           "Label16", "Label21", "Label22"};
constexpr std::array<std::string_view, 5> kPictureNames = {"Picture1", "Picture2", "Picture3",
                                                           "Picture4", "Picture5"};

struct StepButton {
  std::string_view name;
  analysis::TextBox box;
  double step;
};

constexpr std::array<StepButton, 12> kStepButtons = {{
    {"Command4", analysis::TextBox::Text4, 0.1},
    {"Command5", analysis::TextBox::Text4, -0.1},
    {"Command6", analysis::TextBox::Text5, 0.1},
    {"Command7", analysis::TextBox::Text5, -0.1},
    {"Command8", analysis::TextBox::Text3, 0.01},
    {"Command9", analysis::TextBox::Text3, -0.01},
    {"Command10", analysis::TextBox::Text6, 0.1},
    {"Command11", analysis::TextBox::Text6, -0.1},
    {"Command12", analysis::TextBox::Text7, 50},
    {"Command13", analysis::TextBox::Text7, -50},
    {"Command14", analysis::TextBox::Text8, 0.01},
    {"Command15", analysis::TextBox::Text8, -0.01},
}};

template <class Enum>
std::size_t slot(Enum value) {
  return static_cast<std::size_t>(value);
}

QString qstring(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect pixelGeometry(const ControlRow& row) {
  return QRect(ui::pixelsFromTwips(row.left), ui::pixelsFromTwips(row.top),
               ui::pixelsFromTwips(row.width), ui::pixelsFromTwips(row.height));
}

QWidget* createControl(const ControlRow& row, QWidget* parent) {
  const QString caption = qstring(row.caption);
  switch (row.kind) {
    case ControlKind::button:
      return new ui::WrappingButton(caption, parent);
    case ControlKind::textBox:
      return new QLineEdit(caption, parent);
    case ControlKind::pictureBox:
      return new ui::ChartBox(parent);
    case ControlKind::frame:
      return new QGroupBox(caption, parent);
    case ControlKind::label: {
      return new ui::CaptionLabel(caption, parent);
    }
  }
  return nullptr;
}

// The fixed layout was drawn for a narrow 8-point dialog font. Liberation
// Sans has the metrics of such a font and ships with the program's packages;
// where it is missing, the platform's own font at 8 points stands in. At the
// wider fonts and larger sizes some desktops default to, the captions of the
// left column would lose their last lines.
QFont layoutFont() {
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("Liberation Sans"), font.family()});
  font.setPointSizeF(8);
  return font;
}

// The scattergram and the histogram print their tick labels in a small serif
// face; Qt's fonts carry Latin and Cyrillic alike, so one font serves both.
QFont chartLabelFont() {
  QFont font(QStringLiteral("Times New Roman"));
  font.setPointSizeF(8.25);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  return font;
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8("Анализ вариабельности сердечного ритма (RRscope)"));
  setWindowIcon(ui::applicationIcon());
  setFont(layoutFont());
  resize(1187, 657);
  buildControls();
  connectButtons();
  control("Command1")->setFocus();
  measuresWindow_ = new ui::MeasuresWindow(this);
  connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated, this,
          [this] { openMeasuresWindow(); });
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this), &QShortcut::activated, this,
          [this] { chooseRecording(); });
  backgroundMenu_ = new QMenu(this);
  backgroundMenu_->setObjectName(QStringLiteral("backgroundMenu"));
  QAction* measures = backgroundMenu_->addAction(QStringLiteral("Показатели ВСР"), this,
                                                 [this] { openMeasuresWindow(); });
  measures->setShortcut(QKeySequence(Qt::Key_F2));
  QAction* recording = backgroundMenu_->addAction(QStringLiteral("Открыть запись…"), this,
                                                  [this] { chooseRecording(); });
  recording->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
}

Form1::~Form1() {
  for (const QPointer<ui::EcgRecordingWindow>& window : recordingWindows_) delete window.data();
}

void Form1::buildControls() {
  QWidget* frame = nullptr;
  QWidget* previousFocusable = nullptr;
  for (const ControlRow& row : ui::controlTable()) {
    QWidget* const widget = createControl(row, row.inFrame ? frame : this);
    widget->setObjectName(qstring(row.name));
    widget->setGeometry(pixelGeometry(row));
    if (row.kind == ControlKind::frame) frame = widget;
    if (row.kind == ControlKind::button || row.kind == ControlKind::textBox) {
      if (previousFocusable != nullptr) setTabOrder(previousFocusable, widget);
      previousFocusable = widget;
    }
  }
  for (std::size_t i = 0; i < kTextBoxNames.size(); ++i) {
    textBoxes_[i] = findChild<QLineEdit*>(qstring(kTextBoxNames[i]));
  }
  for (std::size_t i = 0; i < kCaptionNames.size(); ++i) {
    captionLabels_[i] = label(kCaptionNames[i]);
  }
  for (std::size_t i = 0; i < kPictureNames.size(); ++i) {
    charts_[i] = findChild<ui::ChartBox*>(qstring(kPictureNames[i]));
  }
  charts_[slot(analysis::Picture::Picture2)]->setFont(chartLabelFont());
  charts_[slot(analysis::Picture::Picture4)]->setFont(chartLabelFont());
  command2_ = findChild<QPushButton*>(QStringLiteral("Command2"));
  command2_->setEnabled(false);
  nameControls();
}

// A screen reader reads a caption label but cannot tell which box it belongs
// to, and every step button shows only "+" or "-"; the names say it.
void Form1::nameControls() {
  for (std::size_t i = 0; i < textBoxes_.size(); ++i) {
    textBoxes_[i]->setAccessibleName(qstring(ui::fieldName(static_cast<analysis::TextBox>(i))));
  }
  for (const StepButton& button : kStepButtons) {
    control(button.name)
        ->setAccessibleName(qstring(ui::stepButtonName(button.box, button.step > 0)));
  }
  for (std::size_t i = 0; i < charts_.size(); ++i) {
    charts_[i]->setAccessibleName(qstring(ui::chartTitle(static_cast<analysis::Picture>(i))));
  }
}

void Form1::describeCharts(const std::optional<analysis::RunReport>& stopped) {
  const std::string shift = text(analysis::TextBox::Text9);
  for (std::size_t i = 0; i < charts_.size(); ++i) {
    const auto picture = static_cast<analysis::Picture>(i);
    const ui::ChartFill fill = ui::chartFill(picture, displayList(picture), stopped);
    charts_[i]->setAccessibleDescription(
        qstring(ui::chartDescription(picture, fill, state_, shift)));
  }
}

void Form1::connectButtons() {
  const auto onClick = [this](std::string_view name, auto handler) {
    connect(findChild<QPushButton*>(qstring(name)), &QPushButton::clicked, this, handler);
  };
  onClick("Command1", [this] { startRun(charts::RunEntry::command1); });
  onClick("Command2", [this] { startRun(charts::RunEntry::command2); });
  onClick("Command3", [this] { restoreDefaults(); });

  for (const StepButton& button : kStepButtons) {
    onClick(button.name, [this, button] { stepParameter(button.box, button.step); });
  }
  onClick("Command17", [this] { nextDebugPage(); });
  onClick("Command18", [this] { previousDebugPage(); });
}

QWidget* Form1::control(std::string_view name) const {
  return findChild<QWidget*>(qstring(name));
}

QLabel* Form1::label(std::string_view name) const {
  return findChild<QLabel*>(qstring(name));
}

std::string Form1::text(analysis::TextBox box) const {
  return textBoxes_[slot(box)]->text().toStdString();
}

void Form1::setTextBox(analysis::TextBox box, std::string_view text) {
  textBoxes_[slot(box)]->setText(qstring(text));
}

void Form1::setText9(std::string_view text) {
  setTextBox(analysis::TextBox::Text9, text);
}

std::string Form1::caption(analysis::Caption label) const {
  return captionLabels_[slot(label)]->text().toStdString();
}

void Form1::setCaption(analysis::Caption label, std::string_view text) {
  captionLabels_[slot(label)]->setText(qstring(text));
}

void Form1::enableRefresh() {
  command2_->setEnabled(true);
}

std::string Form1::chooseSampleFile() {
  // The run has cleared the charts already; show them cleared behind the dialog.
  showDrawings();
  if (presetChoice_) return std::exchange(presetChoice_, std::nullopt).value();
  if (fileChooser_) return fileChooser_();
  const ui::OverrideCursor pointer(Qt::ArrowCursor);
  return QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("*.txt"))
      .toStdString();
}

charts::ChartSurface& Form1::surface(analysis::Picture picture) {
  return charts_[slot(picture)]->surface();
}

void Form1::setFileChooser(std::function<std::string()> chooser) {
  fileChooser_ = std::move(chooser);
}

void Form1::setErrorReporter(std::function<void(const analysis::RunReport&)> reporter) {
  errorReporter_ = std::move(reporter);
}

void Form1::openFile(std::string_view file) {
  presetChoice_ = std::string(file);
  startRun(charts::RunEntry::command1);
}

const charts::DisplayList& Form1::displayList(analysis::Picture picture) const {
  return charts_[slot(picture)]->displayList();
}

const analysis::AnalysisState& Form1::analysisState() const {
  return state_;
}

ui::MeasuresWindow& Form1::measuresWindow() const {
  return *measuresWindow_;
}

void Form1::openMeasuresWindow() {
  measuresWindow_->show();
  measuresWindow_->raise();
  measuresWindow_->activateWindow();
}

// Controls that have a menu of their own (the text boxes) keep it; a
// right-click anywhere else reaches the window.
void Form1::contextMenuEvent(QContextMenuEvent* event) {
  backgroundMenu_->exec(event->globalPos());
  event->accept();
}

ui::EcgRecordingWindow* Form1::openRecording(const QString& file) {
  // Without a parent the window counts for Qt's quit on the last window
  // closed, whether this window was ever shown or not.
  auto* window = new ui::EcgRecordingWindow(nullptr);
  std::erase_if(recordingWindows_, [](const auto& open) { return open.isNull(); });
  recordingWindows_.emplace_back(window);
  window->setAnalysisSender([this](const QString& text) {
    show();
    raise();
    activateWindow();
    openFile(text.toStdString());
  });
  window->show();
  window->openFile(file);
  return window;
}

void Form1::chooseRecording() {
  const QString file =
      recordingChooser_
          ? recordingChooser_()
          : QFileDialog::getOpenFileName(
                this, QStringLiteral("Открыть запись"), QString(),
                QStringLiteral("Записи ЭКГ и RR-интервалов (*.edf *.bdf *.hea *.ecg *.gdf *.rr);;"
                               "Текст, 6000 отсчётов в секунду (*.txt);;Все файлы (*)"));
  if (file.isEmpty()) return;
  if (editing::isRecordingFile(file.toStdString())) {
    openRecording(file);
  } else {
    openFile(file.toStdString());
  }
}

void Form1::setRecordingChooser(std::function<QString()> chooser) {
  recordingChooser_ = std::move(chooser);
}

void Form1::startRun(charts::RunEntry entry) {
  std::optional<analysis::RunReport> report;
  {
    // The run holds the thread until it ends; nothing repaints meanwhile.
    const ui::OverrideCursor busy(Qt::WaitCursor);
    report = runAnalysis(entry, state_, *this);
    showDrawings();
    describeCharts(report);
  }
  updateMeasures(report);
  if (report) reportError(*report);
}

void Form1::updateMeasures(const std::optional<analysis::RunReport>& report) {
  if (report) {
    measuresWindow_->showStoppedRun(qstring(ui::errorBoxText(report->facts).text));
    return;
  }
  measuresWindow_->showCompletedRun(analysis::rrSeriesMilliseconds(state_));
}

void Form1::showDrawings() {
  for (ui::ChartBox* chart : charts_) chart->showDrawing();
}

void Form1::reportError(const analysis::RunReport& report) {
  if (errorReporter_) {
    errorReporter_(report);
    return;
  }
  ui::showErrorBox(this, report.facts);
}

}  // namespace rrscope
