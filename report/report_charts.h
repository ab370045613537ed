#pragma once

#include <QPainter>
#include <QRectF>

#include "report/plot_frame.h"
#include "report/report_content.h"

namespace rrscope::report {

// The NN intervals in ms against time in minutes, corrected beats marked.
void drawTachogram(QPainter& painter, QRectF area, const ReportContent& content);
// The time axis of the charts over time, in minutes of the recording: the
// reported stretch, widened to the last beat should it lie beyond.
AxisRange timeAxisMinutes(const ReportContent& content);

// The NN histogram in 1/128 s bins with the TINN triangle over it.
void drawHistogram(QPainter& painter, QRectF area, const ReportContent& content);

// NN(i+1) against NN(i) as a density, with the SD1/SD2 ellipse.
void drawPoincare(QPainter& painter, QRectF area, const ReportContent& content);

// The Welch spectrum and, over it, the AR spectrum, with the VLF, LF and
// HF bands shaded.
void drawSpectrum(QPainter& painter, QRectF area, const ReportContent& content);

// log10 F(n) against log10 n with the alpha1 and alpha2 lines.
void drawDfa(QPainter& painter, QRectF area, const ReportContent& content);

// DFA alpha1 and RMSSD of the windows over time, side by side.
void drawWindowStrips(QPainter& painter, QRectF area, const ReportContent& content);

// The table of every measure with its unit.
void drawMeasureTable(QPainter& painter, QRectF area, const ReportContent& content);

// A chart's message in place of its data, such as "нет данных".
void drawEmptyChart(QPainter& painter, QRectF area, const QString& title, const QString& why);

}  // namespace rrscope::report
