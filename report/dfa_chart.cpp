#include <algorithm>
#include <cmath>

#include "report/plot_frame.h"
#include "report/report_charts.h"

namespace rrscope::report {
namespace {

const QColor kPoints(20, 70, 160);
const QColor kAlpha1(200, 60, 40);
const QColor kAlpha2(40, 140, 70);

// The fitted line of log10 F on log10 n between two box sizes.
void drawFit(QPainter& painter, const PlotFrame& frame, const hrv::DfaFit& fit, double fromN,
             double toN, const QColor& colour) {
  const double x0 = std::log10(fromN), x1 = std::log10(toN);
  painter.setPen(QPen(colour, 0.9));
  painter.drawLine(frame.at(x0, fit.intercept + fit.slope * x0),
                   frame.at(x1, fit.intercept + fit.slope * x1));
}

}  // namespace

void drawDfa(QPainter& painter, QRectF area, const ReportContent& content) {
  const QString title = QStringLiteral("DFA: log F(n) по log n");
  const hrv::DfaCurve& dfa = content.measures.dfa;
  if (dfa.boxSizes.empty() ||
      std::ranges::any_of(dfa.fluctuation, [](double f) { return f <= 0; })) {
    drawEmptyChart(painter, area, title,
                   QStringLiteral("меньше 16 NN интервалов, или все они равны"));
    return;
  }
  std::vector<double> logF;
  for (const double f : dfa.fluctuation) logF.push_back(std::log10(f));
  const auto [lowest, highest] = std::ranges::minmax(logF);
  const double pad = std::max(0.05, 0.08 * (highest - lowest));
  const PlotFrame frame(area, {std::log10(3.5), std::log10(70.0)},
                        roundedOut({lowest - pad, highest + pad}, 4));
  frame.drawAxes(painter, title, QStringLiteral("log₁₀ n"), QStringLiteral("log₁₀ F(n)"));
  painter.save();
  painter.setClipRect(frame.plot());
  painter.setPen(Qt::NoPen);
  painter.setBrush(kPoints);
  for (std::size_t i = 0; i < dfa.boxSizes.size(); ++i) {
    painter.drawEllipse(frame.at(std::log10(static_cast<double>(dfa.boxSizes[i])), logF[i]), 1.1,
                        1.1);
  }
  if (dfa.alpha1) drawFit(painter, frame, *dfa.alpha1, 4, 16, kAlpha1);
  if (dfa.alpha2) drawFit(painter, frame, *dfa.alpha2, 16, 64, kAlpha2);
  painter.restore();
  // The exponents beside their lines' colours.
  painter.save();
  painter.setFont(reportFont(6.5, true));
  const QRectF legend = frame.plot().adjusted(4, 2, -4, 0);
  QString text;
  if (dfa.alpha1) {
    painter.setPen(kAlpha1);
    painter.drawText(legend, Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("α1 = %1").arg(dfa.alpha1->slope, 0, 'f', 3));
  }
  if (dfa.alpha2) {
    painter.setPen(kAlpha2);
    painter.drawText(legend.adjusted(0, 9, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("α2 = %1").arg(dfa.alpha2->slope, 0, 'f', 3));
  }
  painter.restore();
}

}  // namespace rrscope::report
