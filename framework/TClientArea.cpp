#include "framework/TClientArea.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/surface/ColorValue.h"

TClientArea::TClientArea() = default;

TClientArea::~TClientArea() { raster.End(); }

QRegion TClientArea::Resize(const QSize& logical, double devicePixelRatio, std::uint32_t fill) {
  const QSize want = logical.expandedTo(QSize(0, 0));
  const double r = devicePixelRatio > 0 ? devicePixelRatio : 1;
  const QSize device(static_cast<int>(std::ceil(want.width() * r)),
                     static_cast<int>(std::ceil(want.height() * r)));
  const bool sameRatio = r == ratio;
  if (want == size && sameRatio && image->size() == device) return {};

  auto fresh = std::make_unique<QImage>(device, QImage::Format_RGB32);
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
  const QRegion uncovered =
      sameRatio ? QRegion(QRect(QPoint(0, 0), want)) - QRegion(QRect(QPoint(0, 0), size))
                : QRegion(QRect(QPoint(0, 0), want));
  // Painting ends on the old image before it goes; the next drawing call
  // begins on the new one.
  raster.End();
  painting = false;
  image = std::move(fresh);
  ratio = r;
  size = want;
  return uncovered;
}

void TClientArea::Redirect(Surface* surface) {
  if (surface && surface != redirect) {
    raster.End();
    painting = false;
  }
  redirect = surface;
}

void TClientArea::Erase(const QRegion& region, std::uint32_t color) {
  const QRegion clipped = region & QRect(QPoint(0, 0), size);
  for (const QRect& r : clipped) EraseBkgnd(r.x(), r.y(), r.width(), r.height(), color);
}

QRegion TClientArea::TakeDrawn() {
  raster.End();
  painting = false;
  QRegion result;
  if (allDrawn) {
    result = QRect(QPoint(0, 0), size);
  } else {
    // Clamped here: the rectangle of any 32-bit coordinates must fit an int.
    const long long w = size.width(), h = size.height();
    const long long left = std::clamp(drawnLeft, 0LL, w), right = std::clamp(drawnRight, 0LL, w);
    const long long top = std::clamp(drawnTop, 0LL, h), bottom = std::clamp(drawnBottom, 0LL, h);
    if (left < right && top < bottom)
      result = QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                     static_cast<int>(bottom - top));
  }
  drawnLeft = drawnTop = LLONG_MAX;
  drawnRight = drawnBottom = LLONG_MIN;
  allDrawn = false;
  return result;
}

RasterSurface& TClientArea::beginPainting() {
  if (!image->isNull()) {
    raster.Retarget(image.get());
    painting = true;
  }
  return raster;
}

void TClientArea::MoveToEx(int x, int y) {
  curX = x;
  curY = y;
  if (redirect)
    redirect->MoveToEx(x, y);
  else
    raster.MoveToEx(x, y);
}

void TClientArea::LineTo(int x, int y) {
  // Lines go every way: the ends are ordered without branches, which a
  // stream of random directions would mispredict.
  const long long x1 = curX + orgX, y1 = curY + orgY, x2 = x + orgX, y2 = y + orgY;
  const long long dx = x2 - x1, dy = y2 - y1;
  const long long sx = dx & (dx >> 63), sy = dy & (dy >> 63);  // the negative part
  touch(x1 + sx - penReach, y1 + sy - penReach, x2 - sx + penReach + 1, y2 - sy + penReach + 1);
  curX = x;
  curY = y;
  if (redirect)
    redirect->LineTo(x, y);
  else
    (painting ? raster : beginPainting()).LineTo(x, y);
}

void TClientArea::TextOutA(int x, int y, const char* text, int count) {
  // Where a text ends depends on its font's metrics, known only to the
  // surface: the whole area counts as drawn.
  if (count > 0) touchAll();
  drawing().TextOutA(x, y, text, count);
}

std::uint32_t TClientArea::SetTextColor(std::uint32_t color) { return current().SetTextColor(color); }

unsigned TClientArea::SetTextAlign(unsigned flags) { return current().SetTextAlign(flags); }

int TClientArea::SetBkMode(int mode) { return current().SetBkMode(mode); }

GdiHandle TClientArea::SelectObject(GdiHandle object) {
  if (const PenDesc* pen = GdiObjects::Pen(object)) {
    // A wide pen reaches half its width (and a round cap) past its line.
    const long long width = std::clamp(pen->width, 1, 1 << 24);
    penReach = static_cast<int>((width + 1) / 2);
  }
  return current().SelectObject(object);
}

void TClientArea::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                      int yEnd) {
  touch(std::min<long long>(left, right) + orgX - penReach, std::min<long long>(top, bottom) + orgY - penReach,
        std::max<long long>(left, right) + orgX + penReach + 1,
        std::max<long long>(top, bottom) + orgY + penReach + 1);
  drawing().Arc(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

void TClientArea::SetViewportOrgEx(int x, int y) {
  orgX = x;
  orgY = y;
  current().SetViewportOrgEx(x, y);
}

void TClientArea::EraseBkgnd(int x, int y, int width, int height, std::uint32_t color) {
  if (width > 0 && height > 0)
    touch(x, y, static_cast<long long>(x) + width, static_cast<long long>(y) + height);
  drawing().EraseBkgnd(x, y, width, height, color);
}
