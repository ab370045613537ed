// Times the rendering of a pulse chart at full capacity (909,091 dots) for
// three horizontal scales: the default, everything on x = 0, and the whole
// file squeezed into the drawing area.
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "ui/raster_surface.h"

namespace {

rrscope::charts::DisplayList pulseChart(double horizontalScale) {
  rrscope::charts::DisplayList list;
  list.Cls();
  for (long i = 1; i <= 10'000'001; i += 11) {
    // A beat every 5000 samples on a slow wander.
    const double sample = (i % 5000 < 30 ? 1.0 : 0.0) + 0.1 * std::sin(i / 900.0);
    list.DrawWidth(2);
    list.CurrentX(static_cast<float>(i * horizontalScale));
    list.CurrentY(static_cast<float>(sample * 500 + 1730));
    list.Circle(2, rrscope::charts::kRed);
  }
  return list;
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const rrscope::ui::SurfaceLook look{QFont(), Qt::black, QColor(240, 240, 240)};
  const QSize area(253, 245);  // Picture3's drawing area in logical pixels

  for (const double scale : {0.05, 0.0, 3795.0 / 10'000'001}) {
    const rrscope::charts::DisplayList list = pulseChart(scale);
    for (const double ratio : {1.0, 2.0}) {
      std::vector<double> seconds;
      for (int repeat = 0; repeat < 5; ++repeat) {
        const auto start = std::chrono::steady_clock::now();
        const QImage image = rrscope::ui::rasterize(list, area, ratio, look);
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      }
      std::sort(seconds.begin(), seconds.end());
      std::printf("Text8 %-12g ratio %g: %zu operations, median %.3f s\n", scale, ratio,
                  list.size(), seconds[seconds.size() / 2]);
    }
  }
  return 0;
}
