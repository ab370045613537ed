#include "ui/recording/tachogram_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "report/plot_frame.h"
#include "statistics/column_envelope.h"
#include "statistics/tick_steps.h"
#include "ui/recording/beat_colours.h"
#include "ui/recording/clock_text.h"

namespace rrscope::ui {
namespace {

// Room for the ms labels on the left and the clock labels below.
constexpr double kTopMargin = 6;
constexpr double kBottomMargin = 18;
// A press that moves less than this is a click, not a drag.
constexpr double kClickPixels = 3;
// The bulk of the series: all but a hundredth at either end.
constexpr double kBulkShare = 0.01;
// Values far below or above the bulk get bands of their own when they would
// otherwise take more of the axis than the bulk does.
constexpr double kBreakRatio = 1.0;
// The share of the plot's height for each such band, and the gap between
// bands.
constexpr double kOuterBandShare = 0.2;
constexpr double kBreakGap = 6;

double quantile(std::vector<double> values, double share) {
  const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

// The margins and spans below are shares of the values, so that they serve
// intervals in ms and heart rates alike: 20 ms and 100 ms at 800 ms.
double padOf(double low, double high) {
  return std::max(0.025 * high, 0.05 * (high - low));
}

// A step in seconds that reads well on a clock, at most `count` of them
// over `span`: 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6,
// 12, 24 h.
double clockStep(double span, int count) {
  constexpr std::array<double, 18> kSteps{1,   2,   5,    10,   15,   30,    60,    120,   300,
                                          600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
  return statistics::firstStepAtLeast(span / std::max(1, count), kSteps);
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

void TachogramView::showBeats(const editing::BeatList* beats, editing::StretchSeries whole) {
  beats_ = beats;
  whole_ = std::move(whole);
  setShowsHeartRate(heartRate_);
}

void TachogramView::setShowsHeartRate(bool heartRate) {
  constexpr double kMsPerMinute = 60000;
  heartRate_ = heartRate;
  values_ = whole_.intervalsMs;
  if (heartRate_) {
    for (double& value : values_) value = kMsPerMinute / value;
  }
  setAccessibleName(heartRate_ ? QStringLiteral("Ритмограмма всей записи, ЧСС")
                               : QStringLiteral("Ритмограмма всей записи"));
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

// The axis spans every value: the bulk in the middle, and the values far
// beyond it on either side in bands of their own across marked breaks, so
// that a pause of 4.1 s reads apart from one of 3.1 s (and its heart rate
// from the other's) without flattening the rest.
void TachogramView::chooseValueRange() {
  bands_.clear();
  if (values_.empty()) {
    bands_.push_back(heartRate_ ? ValueBand{50, 150, 1} : ValueBand{400, 1200, 1});
    return;
  }
  const double bulkHigh = quantile(values_, 1 - kBulkShare);
  const double bulkLow = std::min(quantile(values_, kBulkShare), bulkHigh);
  const double span = kBreakRatio * std::max(bulkHigh - bulkLow, 0.125 * bulkHigh);
  const double farLow = bulkLow - span, farHigh = bulkHigh + span;
  // The lowest and highest values below, within and above the bulk's reach.
  std::array<std::pair<double, double>, 3> ranges;
  ranges.fill({INFINITY, -INFINITY});
  for (const double value : values_) {
    auto& [low, high] = ranges[value < farLow ? 0 : value > farHigh ? 2 : 1];
    low = std::min(low, value);
    high = std::max(high, value);
  }
  const std::size_t outer =
      (ranges[0].first <= ranges[0].second ? 1 : 0) + (ranges[2].first <= ranges[2].second ? 1 : 0);
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    const auto [low, high] = ranges[i];
    if (low > high) continue;
    const double pad = padOf(low, high);
    const double share =
        i == 1 ? 1 - kOuterBandShare * static_cast<double>(outer) : kOuterBandShare;
    bands_.push_back({std::max(0.0, low - pad), high + pad, share});
  }
}

double TachogramView::bandsHeight(const QRectF& plot) const {
  return plot.height() - kBreakGap * static_cast<double>(bands_.size() - 1);
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

double TachogramView::yOf(double value) const {
  const QRectF plot = plotArea();
  const double height = bandsHeight(plot);
  double bottom = plot.bottom();
  for (std::size_t i = 0; i < bands_.size(); ++i) {
    const ValueBand& band = bands_[i];
    const double size = band.share * height;
    if (value <= band.high || i + 1 == bands_.size()) {
      // A value in the gap below a band stands at the break.
      if (value < band.low && i > 0) return bottom + kBreakGap / 2;
      const double share = std::clamp((value - band.low) / (band.high - band.low), 0.0, 1.0);
      return bottom - share * size;
    }
    bottom -= size + kBreakGap;
  }
  return plot.bottom();
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
  paintBreaks(painter, plot);
  const QFontMetricsF metrics(font());
  painter.drawText(QRectF(plot.left() + 4, plot.top() + 1, plot.width() / 2, metrics.height()),
                   Qt::AlignLeft | Qt::AlignTop,
                   heartRate_ ? QStringLiteral("ЧСС, уд/мин") : QStringLiteral("NN, мс"));
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
  for (const ValueBand& band : bands_) {
    const int wanted = std::max(1, static_cast<int>(band.share * bandsHeight(plot) / 30));
    for (const double value : report::niceTicks({band.low, band.high}, wanted)) {
      if (value < band.low || value > band.high) continue;
      const double y = yOf(value);
      painter.drawLine(QPointF(plot.left() - 3, y), QPointF(plot.left(), y));
      painter.drawText(QRectF(0, y - metrics.height() / 2, plot.left() - 5, metrics.height()),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(value, 'f', 0));
    }
  }
}

// Two slanted strokes across the axis and a dashed line across the plot
// where the scale jumps from one band to the next.
void TachogramView::paintBreaks(QPainter& painter, const QRectF& plot) const {
  painter.save();
  double bottom = plot.bottom();
  for (std::size_t i = 0; i + 1 < bands_.size(); ++i) {
    bottom -= bands_[i].share * bandsHeight(plot);
    const double y = bottom - kBreakGap / 2;
    painter.fillRect(QRectF(plot.left() - 6, y - kBreakGap / 2, 12, kBreakGap), palette().base());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawLine(QPointF(plot.left() - 6, y + 1), QPointF(plot.left() + 6, y - 3));
    painter.drawLine(QPointF(plot.left() - 6, y + 4), QPointF(plot.left() + 6, y));
    painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
    painter.drawLine(QPointF(plot.left() + 6, y), QPointF(plot.right(), y));
    bottom -= kBreakGap;
  }
  painter.restore();
}

// One vertical line per pixel column from the shortest to the longest
// interval in it, then a dot on each marked interval.
void TachogramView::paintIntervals(QPainter& painter, const QRectF& plot) const {
  const auto columns = static_cast<std::size_t>(std::ceil(plot.width())) + 1;
  const std::span<const double> positions = beats_->positions();
  const std::span<const editing::BeatSource> sources = beats_->sources();
  const auto xOfInterval = [&](std::size_t i) { return xOf(positions[whole_.ends[i]]); };
  const auto envelope =
      statistics::columnEnvelope(std::span<const double>(values_), columns,
                                 [&](std::size_t i) { return xOfInterval(i) - plot.left(); });
  painter.setPen(QPen(palette().color(QPalette::Text), 1));
  std::optional<QPointF> previous;
  for (std::size_t c = 0; c < columns; ++c) {
    const auto& range = envelope[c];
    if (range.empty()) {
      previous.reset();
      continue;
    }
    const double x = plot.left() + static_cast<double>(c) + 0.5;
    const QPointF top(x, yOf(range.high)), bottom(x, yOf(range.low));
    painter.drawLine(top, bottom);
    // Neighbouring columns join, so that a sparse series reads as a line.
    const QPointF middle(x, yOf((range.low + range.high) / 2));
    if (previous) painter.drawLine(*previous, middle);
    previous = middle;
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(editedColour());
  for (std::size_t i = 0; i < whole_.intervalsMs.size(); ++i) {
    if (sources[whole_.ends[i]] == editing::BeatSource::detected) continue;
    painter.drawEllipse(QPointF(xOfInterval(i), yOf(values_[i])), 2.0, 2.0);
  }
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
