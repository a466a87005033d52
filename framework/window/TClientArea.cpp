#include "framework/window/TClientArea.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/surface/ColorValue.h"
#include "framework/surface/RasterImage.h"

TClientArea::TClientArea() = default;

TClientArea::~TClientArea() { raster.End(); }

QRegion TClientArea::Resize(const QSize& logical, double devicePixelRatio, std::uint32_t fill) {
  const QSize want = logical.expandedTo(QSize(0, 0));
  const double r = devicePixelRatio > 0 ? devicePixelRatio : 1;
  const QSize device(static_cast<int>(std::ceil(want.width() * r)),
                     static_cast<int>(std::ceil(want.height() * r)));
  const bool sameRatio = r == ratio;
  if (want == size && sameRatio && image->size() == device) return {};
  raster.Suspend();  // every line drawn so far is in the pixels copied below

  auto fresh =
      std::make_unique<QImage>(NewRasterImage(device.width(), device.height(), QImage::Format_RGB32));
  if (!fresh->isNull()) {
    fresh->setDevicePixelRatio(r);
    fresh->fill(ToQRgb(fill));
    if (sameRatio && !image->isNull()) {
      // Device rows and columns: at one ratio they are the same pixels.
      const int w = std::min(device.width(), image->width());
      const int h = std::min(device.height(), image->height());
      for (int y = 0; y < h; ++y)
        std::memcpy(fresh->scanLine(y), image->constScanLine(y), static_cast<std::size_t>(w) * 4);
    }
  }
  const QRegion uncovered = sameRatio
                                ? QRegion(QRect(QPoint(0, 0), want)) - QRegion(QRect(QPoint(0, 0), size))
                                : QRegion(QRect(QPoint(0, 0), want));
  // The surface moves to the new image before the old one goes, and paints
  // on it from its next drawing call.
  raster.Retarget(fresh->isNull() ? nullptr : fresh.get());
  raster.Suspend();
  image = std::move(fresh);
  ratio = r;
  size = want;
  return uncovered;
}

void TClientArea::Redirect(Surface* surface) {
  raster.Suspend();
  redirect = surface;
}

void TClientArea::Erase(const QRegion& region, std::uint32_t color) {
  const QRegion clipped = region & QRect(QPoint(0, 0), size);
  for (const QRect& r : clipped) Current().EraseBkgnd(r.x(), r.y(), r.width(), r.height(), color);
}

bool TClientArea::CopyBottomLeft(const QImage& source) {
  if (image->isNull() || source.devicePixelRatio() != image->devicePixelRatio() ||
      source.format() != image->format() || source.width() < image->width() ||
      source.height() < image->height())
    return false;
  raster.Suspend();  // every line drawn so far is in the pixels overwritten below
  const int below = source.height() - image->height();
  const std::size_t bytes = static_cast<std::size_t>(image->width()) * 4;
  for (int y = 0; y < image->height(); ++y) std::memcpy(image->scanLine(y), source.constScanLine(below + y), bytes);
  return true;
}

QRegion TClientArea::TakeDrawn() {
  raster.Suspend();
  return raster.TakeDamage();
}
