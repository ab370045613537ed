#include "ui/recording/tachogram_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/recording/beat_colours.h"
#include "ui/recording/clock_text.h"
#include "ui/report/plot_frame.h"

namespace rrscope::ui {
namespace {

// Room for the ms labels on the left and the clock labels below.
constexpr double kLeftMargin = 46;
constexpr double kRightMargin = 8;
constexpr double kTopMargin = 6;
constexpr double kBottomMargin = 18;
// A press that moves less than this is a click, not a drag.
constexpr double kClickPixels = 3;
// The bulk of the series: all but a hundredth at either end.
constexpr double kBulkShare = 0.01;
// The longest intervals get a band of their own when they would otherwise
// take more of the axis than the bulk does.
constexpr double kBreakRatio = 1.0;
// The share of the plot's height for that band, and the gap before it.
constexpr double kTopBandShare = 0.22;
constexpr double kBreakGap = 6;

double quantile(std::vector<double> values, double share) {
  const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

double padOf(double low, double high) {
  return std::max(20.0, 0.05 * (high - low));
}

// A step in seconds that reads well on a clock: 1, 2, 5, 10, 15, 30 s, 1,
// 2, 5, 10, 15, 30 min, 1, 2, 3, 6, 12 h.
double clockStep(double span, int count) {
  const double raw = span / std::max(1, count);
  for (const double step : {1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0,
                            1800.0, 3600.0, 7200.0, 10800.0, 21600.0, 43200.0}) {
    if (step >= raw) return step;
  }
  return 86400;
}

}  // namespace

TachogramView::TachogramView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("tachogram"));
  setAccessibleName(QStringLiteral("Ритмограмма всей записи"));
  setAccessibleDescription(
      QStringLiteral("NN-интервалы в мс по времени записи; протяните мышью, чтобы выбрать "
                     "отрезок анализа, щёлкните или нажмите стрелки, Page Up, Page Down, Home, "
                     "End, чтобы показать ЭКГ в этом месте"));
  setMouseTracking(false);
  setFocusPolicy(Qt::StrongFocus);
}

QSize TachogramView::sizeHint() const {
  return {900, 170};
}

QSize TachogramView::minimumSizeHint() const {
  return {300, 100};
}

void TachogramView::showBeats(const pipeline::BeatList* beats, pipeline::StretchSeries whole) {
  beats_ = beats;
  whole_ = std::move(whole);
  chooseValueRange();
  update();
}

void TachogramView::setStretch(beats::SampleStretch stretch) {
  stretch_ = stretch;
  update();
}

void TachogramView::setCursor(double sample) {
  cursor_ = sample;
  update();
}

QRectF TachogramView::plotArea() const {
  return QRectF(kLeftMargin, kTopMargin, std::max(1.0, width() - kLeftMargin - kRightMargin),
                std::max(1.0, height() - kTopMargin - kBottomMargin));
}

// The axis spans every interval: from the shortest to the bulk's top, and
// the longest above a break when they lie far beyond the bulk, so that a
// pause of 4.1 s reads apart from one of 3.1 s without flattening the rest.
void TachogramView::chooseValueRange() {
  topMs_.reset();
  const std::vector<double>& intervals = whole_.intervalsMs;
  if (intervals.empty()) {
    lowMs_ = 400, highMs_ = 1200;
    return;
  }
  const auto [shortest, longest] = std::ranges::minmax(intervals);
  const double bulkHigh = quantile(intervals, 1 - kBulkShare);
  const double bulkLow = std::min(quantile(intervals, kBulkShare), bulkHigh);
  // Past this, an interval is far beyond the bulk; the scale below the
  // break ends at the longest interval short of it.
  const double far = bulkHigh + kBreakRatio * std::max(bulkHigh - bulkLow, 100.0);
  double belowFar = shortest;
  for (const double ms : intervals) {
    if (ms <= far) belowFar = std::max(belowFar, ms);
  }
  lowMs_ = std::max(0.0, shortest - padOf(shortest, belowFar));
  highMs_ = belowFar + padOf(shortest, belowFar);
  if (longest > far) topMs_ = longest + padOf(highMs_, longest);
}

double TachogramView::bulkHeight(const QRectF& plot) const {
  return topMs_ ? plot.height() * (1 - kTopBandShare) - kBreakGap : plot.height();
}

double TachogramView::sampleAt(double x) const {
  if (beats_ == nullptr) return 0;
  const QRectF plot = plotArea();
  const double share = std::clamp((x - plot.left()) / plot.width(), 0.0, 1.0);
  return share * static_cast<double>(beats_->sampleCount());
}

double TachogramView::xOf(double sample) const {
  const QRectF plot = plotArea();
  if (beats_ == nullptr || beats_->sampleCount() == 0) return plot.left();
  return plot.left() + sample / static_cast<double>(beats_->sampleCount()) * plot.width();
}

double TachogramView::yOf(double ms) const {
  const QRectF plot = plotArea();
  const double bulk = bulkHeight(plot);
  if (!topMs_ || ms <= highMs_) {
    const double share = (ms - lowMs_) / (highMs_ - lowMs_);
    return plot.bottom() - std::clamp(share, 0.0, 1.0) * bulk;
  }
  const double share = (ms - highMs_) / (*topMs_ - highMs_);
  const double bandBottom = plot.bottom() - bulk - kBreakGap;
  return bandBottom - std::clamp(share, 0.0, 1.0) * (bandBottom - plot.top());
}

void TachogramView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  const QRectF plot = plotArea();
  if (beats_ == nullptr) return;
  const double from = dragFrom_ && dragTo_ ? std::min(*dragFrom_, *dragTo_) : xOf(stretch_.begin);
  const double to = dragFrom_ && dragTo_ ? std::max(*dragFrom_, *dragTo_) : xOf(stretch_.end);
  painter.fillRect(
      QRectF(QPointF(from, plot.top()), QPointF(std::max(to, from + 1), plot.bottom())),
      stretchColour());
  for (const beats::SampleStretch& stretch : beats_->unreadable()) {
    painter.fillRect(
        QRectF(QPointF(xOf(stretch.begin), plot.top()),
               QPointF(std::max(xOf(stretch.end), xOf(stretch.begin) + 1), plot.bottom())),
        unreadableColour());
  }
  paintAxes(painter, plot);
  paintIntervals(painter, plot);
  painter.setPen(QPen(cursorColour(), hasFocus() ? 3 : 1));
  painter.drawLine(QPointF(xOf(cursor_), plot.top()), QPointF(xOf(cursor_), plot.bottom()));
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  }
}

void TachogramView::keyPressEvent(QKeyEvent* event) {
  if (beats_ == nullptr) {
    QWidget::keyPressEvent(event);
    return;
  }
  constexpr double kStepPixels = 10;
  constexpr double kPageShare = 0.1;
  const auto total = static_cast<double>(beats_->sampleCount());
  const double step = total / plotArea().width() * kStepPixels;
  std::optional<double> to;
  switch (event->key()) {
    case Qt::Key_Left:
      to = cursor_ - step;
      break;
    case Qt::Key_Right:
      to = cursor_ + step;
      break;
    case Qt::Key_PageUp:
      to = cursor_ - total * kPageShare;
      break;
    case Qt::Key_PageDown:
      to = cursor_ + total * kPageShare;
      break;
    case Qt::Key_Home:
      to = 0.0;
      break;
    case Qt::Key_End:
      to = total;
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  emit cursorChosen(std::clamp(*to, 0.0, total));
  event->accept();
}

void TachogramView::paintAxes(QPainter& painter, const QRectF& plot) const {
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(plot);
  painter.setPen(palette().color(QPalette::Text));
  paintValueTicks(painter, plot);
  if (topMs_) paintBreak(painter, plot);
  const QFontMetricsF metrics(font());
  const double seconds = static_cast<double>(beats_->sampleCount()) / beats_->rate();
  const double step = clockStep(seconds, std::max(2, static_cast<int>(plot.width() / 80)));
  for (double t = 0; t <= seconds; t += step) {
    const double x = xOf(t * beats_->rate());
    painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 3));
    const QString label = clockText(t);
    painter.drawText(clockLabelBox(x, metrics.horizontalAdvance(label) + 2, plot.bottom() + 3,
                                   kBottomMargin - 3, width()),
                     Qt::AlignCenter, label);
  }
}

void TachogramView::paintValueTicks(QPainter& painter, const QRectF& plot) const {
  const QFontMetricsF metrics(font());
  const auto tick = [&](double ms) {
    const double y = yOf(ms);
    painter.drawLine(QPointF(plot.left() - 3, y), QPointF(plot.left(), y));
    painter.drawText(QRectF(0, y - metrics.height() / 2, plot.left() - 5, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(ms, 'f', 0));
  };
  const int wanted = std::max(2, static_cast<int>(bulkHeight(plot) / 30));
  for (const double ms : report::niceTicks({lowMs_, highMs_}, wanted)) {
    if (ms <= highMs_) tick(ms);
  }
  if (!topMs_) return;
  const int band = std::max(1, static_cast<int>((plot.height() - bulkHeight(plot)) / 30));
  for (const double ms : report::niceTicks({highMs_, *topMs_}, band)) {
    if (ms > highMs_ && ms <= *topMs_) tick(ms);
  }
}

// Two slanted strokes across the axis and a dashed line across the plot
// where the scale jumps from the bulk to the longest intervals.
void TachogramView::paintBreak(QPainter& painter, const QRectF& plot) const {
  const double y = plot.bottom() - bulkHeight(plot) - kBreakGap / 2;
  painter.save();
  painter.fillRect(QRectF(plot.left() - 6, y - kBreakGap / 2, 12, kBreakGap), palette().base());
  painter.drawLine(QPointF(plot.left() - 6, y + 1), QPointF(plot.left() + 6, y - 3));
  painter.drawLine(QPointF(plot.left() - 6, y + 4), QPointF(plot.left() + 6, y));
  painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
  painter.drawLine(QPointF(plot.left() + 6, y), QPointF(plot.right(), y));
  painter.restore();
}

// One vertical line per pixel column from the shortest to the longest
// interval in it, then a dot on each marked interval.
void TachogramView::paintIntervals(QPainter& painter, const QRectF& plot) const {
  const auto columns = static_cast<std::size_t>(std::ceil(plot.width())) + 1;
  std::vector<double> low(columns, INFINITY), high(columns, -INFINITY);
  const std::span<const double> positions = beats_->positions();
  const std::span<const pipeline::BeatSource> sources = beats_->sources();
  std::vector<QPointF> marked;
  for (std::size_t i = 0; i < whole_.intervalsMs.size(); ++i) {
    const std::size_t end = whole_.ends[i];
    const double x = xOf(positions[end]);
    const auto column =
        std::min(columns - 1, static_cast<std::size_t>(std::max(0.0, x - plot.left())));
    low[column] = std::min(low[column], whole_.intervalsMs[i]);
    high[column] = std::max(high[column], whole_.intervalsMs[i]);
    if (sources[end] != pipeline::BeatSource::detected)
      marked.emplace_back(x, yOf(whole_.intervalsMs[i]));
  }
  painter.setPen(QPen(palette().color(QPalette::Text), 1));
  std::optional<QPointF> previous;
  for (std::size_t c = 0; c < columns; ++c) {
    if (low[c] > high[c]) {
      previous.reset();
      continue;
    }
    const double x = plot.left() + static_cast<double>(c) + 0.5;
    const QPointF top(x, yOf(high[c])), bottom(x, yOf(low[c]));
    painter.drawLine(top, bottom);
    // Neighbouring columns join, so that a sparse series reads as a line.
    if (previous) painter.drawLine(*previous, QPointF(x, yOf((low[c] + high[c]) / 2)));
    previous = QPointF(x, yOf((low[c] + high[c]) / 2));
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(editedColour());
  for (const QPointF& point : marked) painter.drawEllipse(point, 2.0, 2.0);
}

void TachogramView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || beats_ == nullptr) return;
  dragFrom_ = event->position().x();
  dragTo_.reset();
}

void TachogramView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_) return;
  if (std::abs(event->position().x() - *dragFrom_) >= kClickPixels || dragTo_) {
    dragTo_ = event->position().x();
    update();
  }
}

void TachogramView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragFrom_) return;
  const double from = *dragFrom_;
  const double to = event->position().x();
  const bool dragged = dragTo_.has_value() || std::abs(to - from) >= kClickPixels;
  dragFrom_.reset();
  dragTo_.reset();
  if (dragged) {
    emit stretchChosen(sampleAt(std::min(from, to)), sampleAt(std::max(from, to)));
  } else {
    emit cursorChosen(sampleAt(to));
  }
  update();
}

}  // namespace rrscope::ui
