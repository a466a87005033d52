// The raster surface's target, its state, the view and the damage; lines
// are in RasterLines.cpp, arcs in RasterArcs.cpp, text in RasterText.cpp.
#include "framework/surface/RasterSurface.h"

#include <algorithm>
#include <cmath>

#include "framework/surface/ColorValue.h"

RasterSurface::RasterSurface(QPaintDevice* device) {
  pen = *GdiObjects::Pen(penHandle);
  Retarget(device);
}

RasterSurface::~RasterSurface() {
  if (painter.isActive()) {
    plotter.Flush();  // while painting, the target is alive: batched lines still reach it
    painter.end();
  }
}

void RasterSurface::Retarget(QPaintDevice* device) {
  takePlotted();
  if (painter.isActive()) painter.end();
  suspended = false;
  target = device;
  painterPen = PainterPen::Unknown;
  painterFontSet = false;
  plotter.Detach();
  plottable = direct = false;
  glyphPixels = PixelTarget();
  if (!device) return;
  if (!painter.begin(device)) return;
  begin();
  updatePlot();
}

void RasterSurface::Suspend() {
  if (!painter.isActive()) return;
  takePlotted();
  painter.end();
  suspended = true;
  painterPen = PainterPen::Unknown;
  painterFontSet = false;
  plotter.Detach();
  plottable = direct = false;
  glyphPixels = PixelTarget();
}

bool RasterSurface::resume() {
  suspended = false;
  if (!target || !painter.begin(target)) return false;
  begin();
  updatePlot();
  return true;
}

void RasterSurface::takePlotted() {
  if (plotted.left > plotted.right) return;
  if (ratio == 1) {
    damage(plotted.left, plotted.top, plotted.right + 1LL + plotReach, plotted.bottom + 1LL + plotReach);
  } else {
    damage(plotted.left / ratio, plotted.top / ratio, (plotted.right + 1.0 + plotReach) / ratio,
           (plotted.bottom + 1.0 + plotReach) / ratio);
  }
  plotted = Plotted();
}

QRect RasterSurface::TakeDamage() {
  takePlotted();
  const long long w = static_cast<long long>(std::ceil(devW)), h = static_cast<long long>(std::ceil(devH));
  const long long left = std::clamp(damageLeft, 0LL, w), right = std::clamp(damageRight, 0LL, w);
  const long long top = std::clamp(damageTop, 0LL, h), bottom = std::clamp(damageBottom, 0LL, h);
  damageLeft = damageTop = LLONG_MAX;
  damageRight = damageBottom = LLONG_MIN;
  if (left >= right || top >= bottom) return {};
  return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
               static_cast<int>(bottom - top));
}

void RasterSurface::damage(double left, double top, double right, double bottom) {
  // Far values saturate: only the part inside the target counts.
  constexpr double kFar = 1e15;
  damage(static_cast<long long>(std::floor(std::clamp(left, -kFar, kFar))),
         static_cast<long long>(std::floor(std::clamp(top, -kFar, kFar))),
         static_cast<long long>(std::ceil(std::clamp(right, -kFar, kFar))),
         static_cast<long long>(std::ceil(std::clamp(bottom, -kFar, kFar))));
}

void RasterSurface::begin() {
  // The painter works in logical pixels: Qt scales it by the ratio.
  ratio = target->devicePixelRatio();
  if (!(ratio > 0)) ratio = 1;
  devW = target->width() / ratio;
  devH = target->height() / ratio;
  glyphPixels = PixelTarget();
  if (target->devType() == QInternal::Image) {
    auto* image = static_cast<QImage*>(target);
    plotter.Attach(image);
    const QImage::Format f = image->format();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied)
      // Where the painter writes (bits() could detach a shared image).
      glyphPixels = PixelTarget{const_cast<uchar*>(image->constBits()), image->bytesPerLine(), image->width(),
                                image->height()};
  }
  const double diagonal = std::hypot(devW, devH);
  maxPenWidth = static_cast<int>(std::min(2 * diagonal + 16, 1.0e6));
  painter.setBrush(Qt::NoBrush);
  painter.setBackgroundMode(Qt::TransparentMode);
  linePen = pens.For(pen, ratio, maxPenWidth, zoom);
}

void RasterSurface::MoveToEx(int x, int y) {
  curX = x;
  curY = y;
  restartDash();
}

std::uint32_t RasterSurface::SetTextColor(std::uint32_t color) {
  const std::uint32_t old = textColor;
  textColor = color;
  if (painterPen == PainterPen::Text && old != color) painterPen = PainterPen::Unknown;
  return old;
}

unsigned RasterSurface::SetTextAlign(unsigned flags) {
  const unsigned old = textAlign;
  textAlign = flags;
  return old;
}

int RasterSurface::SetBkMode(int mode) {
  const int old = bkMode;
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  bkMode = mode;
  return old;
}

GdiHandle RasterSurface::SelectObject(GdiHandle object) {
  if (const PenDesc* p = GdiObjects::Pen(object)) {
    const GdiHandle old = penHandle;
    penHandle = object;
    pen = *p;
    linePen = pens.For(pen, ratio, maxPenWidth, zoom);
    restartDash();
    usePlotPen();
    if (painterPen == PainterPen::Line) painterPen = PainterPen::Unknown;
    return old;
  }
  if (const FontDesc* f = GdiObjects::Font(object)) {
    const GdiHandle old = fontHandle;
    fontHandle = object;
    fontDesc = *f;
    // Made when a text first needs it: a picture of lines alone never
    // loads a font.
    font.reset();
    painterFontSet = false;
    return old;
  }
  return 0;
}

void RasterSurface::SetViewportOrgEx(int x, int y) {
  orgX = x;
  orgY = y;
  restartDash();
  updatePlot();
}

void RasterSurface::SetView(double z, double x, double y) {
  zoom = std::isfinite(z) && z > 0 ? z : 1;
  panX = std::isfinite(x) ? x : 0;
  panY = std::isfinite(y) ? y : 0;
  identity = zoom == 1 && panX == 0 && panY == 0;
  linePen = pens.For(pen, ratio, maxPenWidth, zoom);
  painterPen = PainterPen::Unknown;
  painterFontSet = false;
  restartDash();
  updatePlot();
}

void RasterSurface::EraseBkgnd(int x, int y, int width, int height, std::uint32_t color) {
  restartDash();
  if (width <= 0 || height <= 0) return;
  if (suspended && !resume()) return;
  if (!painter.isActive()) return;
  const double x0 = std::max<double>(x, 0), y0 = std::max<double>(y, 0);
  const double x1 = std::min(static_cast<double>(x) + width, devW);
  const double y1 = std::min(static_cast<double>(y) + height, devH);
  if (x1 <= x0 || y1 <= y0) return;
  damage(x0, y0, x1, y1);
  plotter.Flush();
  painter.fillRect(QRectF(x0, y0, x1 - x0, y1 - y0), ToQColor(color));
}
