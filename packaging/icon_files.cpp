// rrscope-icon-files: writes the window's icon as the desktop's hicolor
// theme wants it, from the same drawing the window uses, so the two never
// drift apart.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>
#include <array>
#include <cstdio>

#include "ui/app_icon.h"

namespace {

constexpr std::array<int, 8> kPixelSizes = {16, 22, 24, 32, 48, 64, 128, 256};
// The drawing's own grid is 16 units; the scalable file keeps a larger
// canvas so that viewers that ignore the view box still show it well.
constexpr int kScalableSize = 256;

// DIR/SUBFOLDER/apps/rrscope.EXTENSION, with its folders made.
QString iconPath(const QString& dir, const QString& subfolder, const char* extension) {
  const QString folder = dir + QLatin1Char('/') + subfolder + QStringLiteral("/apps");
  QDir().mkpath(folder);
  return folder + QStringLiteral("/rrscope.") + QLatin1String(extension);
}

bool writePng(const QString& dir, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    rrscope::ui::paintApplicationIcon(painter, size);
  }
  return image.save(iconPath(dir, QStringLiteral("%1x%1").arg(size), "png"));
}

bool writeSvg(const QString& dir) {
  QSvgGenerator svg;
  svg.setFileName(iconPath(dir, QStringLiteral("scalable"), "svg"));
  svg.setSize(QSize(kScalableSize, kScalableSize));
  svg.setViewBox(QRect(0, 0, kScalableSize, kScalableSize));
  svg.setTitle(QStringLiteral("RRscope"));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  rrscope::ui::paintApplicationIcon(painter, kScalableSize);
  return painter.end();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: rrscope-icon-files DIR\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]);
  bool written = writeSvg(dir);
  for (const int size : kPixelSizes) written = writePng(dir, size) && written;
  if (!written) {
    std::fprintf(stderr, "rrscope-icon-files: cannot write the icons into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
