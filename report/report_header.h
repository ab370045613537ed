#pragma once

#include <QPainter>
#include <QRectF>

#include "report/report_content.h"

namespace rrscope::report {

// The title and what was analysed how: file, channel, rate, duration,
// samples, detector, corrections, the classes of the beats and the scoring.
void drawReportHeader(QPainter& painter, QRectF area, const ReportContent& content);

}  // namespace rrscope::report
