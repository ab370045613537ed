#include "ui/recording/ecg_strip_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "charts/value_envelope.h"
#include "ui/recording/beat_colours.h"
#include "ui/recording/clock_text.h"

namespace rrscope::ui {
namespace {

constexpr double kMarkBand = 30;  // the band above the trace that holds marks and intervals
constexpr double kTimeBand = 16;  // the clock labels below it
constexpr double kSideMargin = 4;
// A press that moves less than this is a click; a mark within it is hit.
constexpr double kClickPixels = 4;
// One notch of the wheel widens or narrows the strip by this factor.
constexpr double kZoomFactor = 1.25;

// The class a key asks for: its letter, and the Cyrillic letter on the same
// key of a Russian layout, which Qt reports as its upper-case code point.
struct ClassKey {
  int key;
  beats::BeatClass beatClass;
};

constexpr std::array<ClassKey, 10> kClassKeys{{
    {Qt::Key_N, beats::BeatClass::N},
    {0x0422, beats::BeatClass::N},  // Т
    {Qt::Key_S, beats::BeatClass::S},
    {0x042B, beats::BeatClass::S},  // Ы
    {Qt::Key_V, beats::BeatClass::V},
    {0x041C, beats::BeatClass::V},  // М
    {Qt::Key_F, beats::BeatClass::F},
    {0x0410, beats::BeatClass::F},  // А
    {Qt::Key_Q, beats::BeatClass::Q},
    {0x0419, beats::BeatClass::Q},  // Й
}};

// U, or Г in its place on a Russian layout: the strip on view is marked
// unreadable, or cleared with Shift.
bool isUnreadableKey(int key) {
  constexpr int kCyrillicGhe = 0x0413;
  return key == Qt::Key_U || key == kCyrillicGhe;
}

std::optional<beats::BeatClass> classOfKey(int key) {
  const auto found = std::ranges::find(kClassKeys, key, &ClassKey::key);
  if (found == kClassKeys.end()) return std::nullopt;
  return found->beatClass;
}

// `colour` two fifths of the way from `base`, as it would look drawn
// translucent over it.
QColor tinted(const QColor& colour, const QColor& base) {
  constexpr double kShare = 0.4;
  const auto mix = [](int a, int b) {
    return static_cast<int>(std::lround(kShare * a + (1 - kShare) * b));
  };
  return QColor(mix(colour.red(), base.red()), mix(colour.green(), base.green()),
                mix(colour.blue(), base.blue()));
}

}  // namespace

EcgStripView::EcgStripView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ecgStrip"));
  setAccessibleName(QStringLiteral("ЭКГ с отметками ударов"));
  setFocusPolicy(Qt::StrongFocus);
  setMinimumHeight(160);
}

QSize EcgStripView::sizeHint() const {
  return {900, 300};
}

QSize EcgStripView::minimumSizeHint() const {
  return {300, 160};
}

void EcgStripView::showRecording(const recordings::Recording* recording,
                                 const editing::BeatList* beats) {
  recording_ = recording;
  beats_ = beats;
  selected_.reset();
  start_ = 0;
  describeSelection();
  update();
}

void EcgStripView::beatsChanged(std::optional<std::size_t> selected) {
  selectBeat(selected);
}

double EcgStripView::widthSamples() const {
  return beats_ == nullptr ? 0 : widthSeconds_ * beats_->rate();
}

void EcgStripView::scrollTo(double sample) {
  if (beats_ == nullptr) return;
  const double last = std::max(0.0, static_cast<double>(beats_->sampleCount()) - widthSamples());
  const double start = std::clamp(sample, 0.0, last);
  if (start == start_) return;
  start_ = start;
  update();
  emit viewChanged();
}

void EcgStripView::centreOn(double sample) {
  scrollTo(sample - widthSamples() / 2);
}

void EcgStripView::setWidthSeconds(double seconds) {
  const double middle = start_ + widthSamples() / 2;
  widthSeconds_ = std::clamp(seconds, kNarrowestSeconds, kWidestSeconds);
  const double before = start_;
  centreOn(middle);
  if (start_ == before) {
    update();
    emit viewChanged();
  }
}

void EcgStripView::selectBeat(std::optional<std::size_t> index) {
  selected_ = beats_ != nullptr && index && *index < beats_->size() ? index : std::nullopt;
  keepSelectionVisible();
  describeSelection();
  update();
  emit selectionChanged();
}

QRectF EcgStripView::traceArea() const {
  return QRectF(kSideMargin, kMarkBand, std::max(1.0, width() - 2 * kSideMargin),
                std::max(1.0, height() - kMarkBand - kTimeBand));
}

double EcgStripView::sampleAt(double x) const {
  const QRectF area = traceArea();
  return start_ + (x - area.left()) / area.width() * widthSamples();
}

double EcgStripView::xOf(double sample) const {
  const QRectF area = traceArea();
  return area.left() + (sample - start_) / widthSamples() * area.width();
}

void EcgStripView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  if (beats_ == nullptr) return;
  const QRectF area = traceArea();
  for (const beats::SampleStretch& stretch : beats_->unreadable()) {
    if (stretch.end < start_ || stretch.begin > start_ + widthSamples()) continue;
    const double from = std::max(area.left(), xOf(stretch.begin));
    const double to = std::min(area.right(), xOf(stretch.end));
    painter.fillRect(QRectF(from, 0, std::max(1.0, to - from), height()), unreadableColour());
  }
  if (pressX_ && dragX_ && shiftDrag_) {
    painter.fillRect(QRectF(QPointF(std::min(*pressX_, *dragX_), 0),
                            QPointF(std::max(*pressX_, *dragX_), height())),
                     stretchColour());
  }
  paintTimes(painter, area);
  paintTrace(painter, area);
  paintBeats(painter, area);
  if (draggedMark_ && dragX_) {
    // Where the dragged beat would go, before it snaps to its QRS.
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
    painter.drawLine(QPointF(*dragX_, 0), QPointF(*dragX_, height()));
  }
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

// One vertical line per pixel column from the lowest to the highest sample
// in it; each column reaches to its neighbour, so that a steep QRS flank
// stays one unbroken line.
void EcgStripView::paintTrace(QPainter& painter, const QRectF& area) const {
  if (recording_ == nullptr) {
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(area, Qt::AlignCenter, QStringLiteral("Нет ЭКГ: файл RR-интервалов"));
    return;
  }
  const auto total = static_cast<std::int64_t>(recording_->values.size());
  const auto first =
      std::clamp<std::int64_t>(static_cast<std::int64_t>(std::floor(start_)), 0, total);
  const auto end = std::clamp<std::int64_t>(
      static_cast<std::int64_t>(std::ceil(start_ + widthSamples())) + 1, first, total);
  if (end - first < 2) return;
  const std::span<const std::int32_t> values(recording_->values.data() + first,
                                             static_cast<std::size_t>(end - first));
  const double firstX = xOf(static_cast<double>(first));
  const double lastX = xOf(static_cast<double>(end - 1));
  const auto columns = static_cast<std::size_t>(std::max(1.0, std::ceil(lastX - firstX)));
  const std::vector<charts::ValueRange> envelope = charts::valueEnvelope(values, columns);
  std::int32_t low = envelope.front().low, high = envelope.front().high;
  for (const charts::ValueRange& range : envelope) {
    low = std::min(low, range.low);
    high = std::max(high, range.high);
  }
  const double span = std::max<double>(1.0, static_cast<double>(high) - low);
  const double pad = 0.05 * area.height();
  const auto yOf = [&](std::int32_t value) {
    return area.bottom() - pad -
           (static_cast<double>(value) - low) / span * (area.height() - 2 * pad);
  };
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(palette().color(QPalette::Text), 1));
  if (values.size() <= columns) {
    // Fewer samples than columns: the samples joined by straight lines.
    QPolygonF line;
    for (std::size_t i = 0; i < values.size(); ++i) {
      line << QPointF(xOf(static_cast<double>(first) + static_cast<double>(i)), yOf(values[i]));
    }
    painter.drawPolyline(line);
    return;
  }
  std::vector<QLineF> lines;
  lines.reserve(envelope.size());
  for (std::size_t c = 0; c < envelope.size(); ++c) {
    std::int32_t from = envelope[c].low, to = envelope[c].high;
    if (c > 0) {
      from = std::min(from, envelope[c - 1].high);
      to = std::max(to, envelope[c - 1].low);
    }
    const double x = firstX + static_cast<double>(c) + 0.5;
    lines.emplace_back(x, yOf(from), x, yOf(to));
  }
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void EcgStripView::paintBeats(QPainter& painter, const QRectF& area) const {
  const std::span<const double> positions = beats_->positions();
  const std::span<const editing::BeatSource> sources = beats_->sources();
  const std::span<const beats::BeatClass> classes = beats_->classes();
  const std::size_t first = beats_->firstAtOrAfter(start_);
  const std::size_t end = beats_->firstAtOrAfter(start_ + widthSamples() + 1);
  const QFontMetricsF metrics(font());
  const double digitWidth = metrics.horizontalAdvance(QLatin1Char('0'));
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (std::size_t i = first; i < end; ++i) {
    const double x = xOf(positions[i]);
    const QColor colour = markColour(sources[i], classes[i]);
    // A light line down the trace, which the QRS stays visible through.
    // An opaque tint: blending a translucent colour costs the raster engine
    // far more than filling with a solid one.
    painter.fillRect(QRectF(std::floor(x), kMarkBand - 6, 1, area.bottom() - kMarkBand + 6),
                     tinted(colour, palette().color(QPalette::Base)));
    QPolygonF triangle;
    triangle << QPointF(x - 5, kMarkBand - 12) << QPointF(x + 5, kMarkBand - 12)
             << QPointF(x, kMarkBand - 4);
    painter.setPen(selected_ == i ? QPen(palette().color(QPalette::Text), 2) : Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(triangle);
    if (classes[i] != beats::BeatClass::N) paintClassLetter(painter, x, classes[i]);
    // The interval that ends at this beat, written between the two marks.
    if (i > 0) {
      const double before = xOf(positions[i - 1]);
      const QString ms =
          QString::number((positions[i] - positions[i - 1]) / beats_->rate() * 1000, 'f', 0);
      // Digits share one width in the fonts the window uses, so the text
      // is measured without shaping it.
      const double textWidth = digitWidth * static_cast<double>(ms.size());
      if (x - before > textWidth + 6) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QPointF((before + x - textWidth) / 2, kMarkBand - 15 - metrics.descent()),
                         ms);
      }
    }
  }
}

// The letter beside the mark tells the class where its colour cannot.
void EcgStripView::paintClassLetter(QPainter& painter, double x, beats::BeatClass beatClass) const {
  painter.save();
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(QPointF(x + 6, kMarkBand - 4),
                   QString(QLatin1Char(beats::beatClassLetter(beatClass))));
  painter.restore();
}

void EcgStripView::paintTimes(QPainter& painter, const QRectF& area) const {
  const double rate = beats_->rate();
  const double step = widthSeconds_ <= 10 ? 1 : widthSeconds_ <= 30 ? 5 : 10;
  painter.setPen(palette().color(QPalette::Midlight));
  const double firstSecond = std::ceil(start_ / rate / step) * step;
  for (double t = firstSecond; t * rate <= start_ + widthSamples(); t += step) {
    const double x = xOf(t * rate);
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    painter.setPen(palette().color(QPalette::Text));
    const QString label = clockText(t);
    painter.drawText(clockLabelBox(x, painter.fontMetrics().horizontalAdvance(label) + 2,
                                   area.bottom(), kTimeBand, width()),
                     Qt::AlignCenter, label);
  }
}

std::optional<std::size_t> EcgStripView::markUnder(double x) const {
  if (beats_ == nullptr || beats_->size() == 0) return std::nullopt;
  const std::optional<std::size_t> nearest = beats_->nearest(sampleAt(x));
  if (nearest && std::abs(xOf(beats_->positions()[*nearest]) - x) <= kClickPixels) return nearest;
  return std::nullopt;
}

void EcgStripView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || beats_ == nullptr) return;
  setFocus(Qt::MouseFocusReason);
  pressX_ = event->position().x();
  dragX_.reset();
  shiftDrag_ = (event->modifiers() & Qt::ShiftModifier) != 0;
  draggedMark_ = shiftDrag_ ? std::nullopt : markUnder(*pressX_);
}

void EcgStripView::mouseMoveEvent(QMouseEvent* event) {
  if (!pressX_) return;
  dragX_ = event->position().x();
  if (shiftDrag_ || draggedMark_) update();
}

void EcgStripView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressX_) return;
  const double from = *pressX_, to = event->position().x();
  const bool click = std::abs(to - from) < kClickPixels;
  pressX_.reset();
  dragX_.reset();
  const std::optional<std::size_t> dragged = std::exchange(draggedMark_, std::nullopt);
  if (dragged && !click) {
    selectBeat(dragged);
    emit moveRequested(*dragged, sampleAt(to), (event->modifiers() & Qt::AltModifier) != 0);
  } else if (shiftDrag_ && !click) {
    const double begin = sampleAt(std::min(from, to)), end = sampleAt(std::max(from, to));
    // A drag that starts inside a mark takes the mark away; anywhere else it marks.
    const double at = sampleAt(from);
    const auto unreadable = beats_->unreadable();
    const bool onMark = std::ranges::any_of(
        unreadable, [at](const beats::SampleStretch& s) { return s.begin <= at && at < s.end; });
    if (onMark) {
      emit clearRequested(begin, end);
    } else {
      emit markRequested(begin, end);
    }
  } else if (click) {
    if (const std::optional<std::size_t> mark = markUnder(to)) {
      selectBeat(mark);
    } else {
      emit addRequested(sampleAt(to));
    }
  }
  update();
}

void EcgStripView::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches == 0) return;
  setWidthSeconds(widthSeconds_ * std::pow(kZoomFactor, -notches));
  event->accept();
}

void EcgStripView::keyPressEvent(QKeyEvent* event) {
  if (moveSelected(*event)) {
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Left:
      stepSelection(-1);
      break;
    case Qt::Key_Right:
      stepSelection(1);
      break;
    case Qt::Key_PageUp:
      scrollTo(start_ - widthSamples());
      break;
    case Qt::Key_PageDown:
      scrollTo(start_ + widthSamples());
      break;
    case Qt::Key_Insert:
      requestInsert();
      break;
    case Qt::Key_Delete:
      if (selected_) emit removeRequested(*selected_);
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      setWidthSeconds(widthSeconds_ / kZoomFactor);
      break;
    case Qt::Key_Minus:
      setWidthSeconds(widthSeconds_ * kZoomFactor);
      break;
    default:
      if (isUnreadableKey(event->key()) && (event->modifiers() & Qt::ControlModifier) == 0) {
        const double end = start_ + widthSamples();
        if ((event->modifiers() & Qt::ShiftModifier) != 0) {
          emit clearRequested(start_, end);
        } else {
          emit markRequested(start_, end);
        }
      } else if (!relabelSelected(*event)) {
        QWidget::keyPressEvent(event);
        return;
      }
  }
  event->accept();
}

// Ctrl with an arrow asks to move the selected beat by a sample, or ten
// with Shift, exactly where asked.
bool EcgStripView::moveSelected(const QKeyEvent& event) {
  constexpr double kShiftSamples = 10;
  const bool arrow = event.key() == Qt::Key_Left || event.key() == Qt::Key_Right;
  if (!selected_ || beats_ == nullptr || !arrow || (event.modifiers() & Qt::ControlModifier) == 0) {
    return false;
  }
  const double samples = (event.modifiers() & Qt::ShiftModifier) != 0 ? kShiftSamples : 1;
  const double step = event.key() == Qt::Key_Left ? -samples : samples;
  emit moveRequested(*selected_, beats_->positions()[*selected_] + step, true);
  return true;
}

// A letter without Ctrl or Alt asks to give the selected beat its class.
bool EcgStripView::relabelSelected(const QKeyEvent& event) {
  if (!selected_ || (event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) != 0) {
    return false;
  }
  const std::optional<beats::BeatClass> beatClass = classOfKey(event.key());
  if (!beatClass) return false;
  emit relabelRequested(*selected_, *beatClass);
  return true;
}

void EcgStripView::contextMenuEvent(QContextMenuEvent* event) {
  const std::optional<std::size_t> mark = markUnder(event->pos().x());
  if (!mark) {
    event->ignore();
    return;
  }
  selectBeat(mark);
  const std::unique_ptr<QMenu> menu = classMenu(*mark);
  menu->exec(event->globalPos());
}

std::unique_ptr<QMenu> EcgStripView::classMenu(std::size_t index) {
  auto menu = std::make_unique<QMenu>(this);
  menu->setAccessibleName(QStringLiteral("Класс удара"));
  for (const beats::BeatClass beatClass : beats::kBeatClasses) {
    QAction* action = menu->addAction(beatClassName(beatClass));
    action->setCheckable(true);
    action->setChecked(beats_ != nullptr && index < beats_->size() &&
                       beats_->classes()[index] == beatClass);
    connect(action, &QAction::triggered, this,
            [this, index, beatClass] { emit relabelRequested(index, beatClass); });
  }
  return menu;
}

// With nothing selected, the arrows start at the first beat on view.
void EcgStripView::stepSelection(int step) {
  if (beats_ == nullptr || beats_->size() == 0) return;
  std::size_t next = 0;
  if (!selected_) {
    next = std::min(beats_->size() - 1, beats_->firstAtOrAfter(start_));
  } else if (step < 0) {
    next = *selected_ == 0 ? 0 : *selected_ - 1;
  } else {
    next = std::min(beats_->size() - 1, *selected_ + 1);
  }
  selectBeat(next);
}

// A beat missed by the detector lies in the interval after the selected
// beat: Insert asks for one in its middle, where the snap finds the QRS.
void EcgStripView::requestInsert() {
  if (beats_ == nullptr) return;
  const std::span<const double> positions = beats_->positions();
  if (selected_ && *selected_ + 1 < positions.size()) {
    emit addRequested((positions[*selected_] + positions[*selected_ + 1]) / 2);
  } else {
    emit addRequested(start_ + widthSamples() / 2);
  }
}

void EcgStripView::keepSelectionVisible() {
  if (!selected_ || beats_ == nullptr) return;
  const double at = beats_->positions()[*selected_];
  const double margin = 0.1 * widthSamples();
  if (at < start_ + margin || at > start_ + widthSamples() - margin) centreOn(at);
}

void EcgStripView::describeSelection() {
  if (beats_ == nullptr || !selected_) {
    setAccessibleDescription(
        QStringLiteral("Удар не выбран; стрелки выбирают удары, Insert "
                       "добавляет удар, Delete удаляет выбранный, N, S, V, F и Q "
                       "дают ему класс"));
    return;
  }
  const std::size_t i = *selected_;
  const double at = beats_->positions()[i];
  QString text = QStringLiteral("Удар %1 из %2, %3, %4, класс: %5")
                     .arg(i + 1)
                     .arg(beats_->size())
                     .arg(clockText(at / beats_->rate(), true))
                     .arg(beatSourceName(beats_->sources()[i]))
                     .arg(beatClassName(beats_->classes()[i]));
  if (i > 0) {
    text += QStringLiteral(", интервал %1 мс")
                .arg((at - beats_->positions()[i - 1]) / beats_->rate() * 1000, 0, 'f', 0);
  }
  setAccessibleDescription(text);
}

}  // namespace rrscope::ui
