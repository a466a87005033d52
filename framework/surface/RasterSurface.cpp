#include "framework/surface/RasterSurface.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/surface/ColorValue.h"
#include "framework/surface/RasterGeometry.h"
#include "framework/surface/TextBytes.h"

namespace {

// Coordinates Qt's rasteriser takes safely (its fixed point ends near 2^25).
constexpr double kSafe = 1 << 20;
// Above this half-axis, ellipses go through our own visible-part polyline.
constexpr double kLargeRadius = 16384;
// A font's text cache is dropped when it grows past this many strings...
constexpr std::size_t kMaxTexts = 8192;
// ... and all of them when strings of more than this many fonts are kept.
constexpr std::size_t kMaxTextFonts = 16;

bool small(double v) { return v > -kSafe && v < kSafe; }

}  // namespace

RasterSurface::RasterSurface(QPaintDevice* device) {
  pen = *GdiObjects::Pen(penHandle);
  Retarget(device);
}

RasterSurface::~RasterSurface() {
  if (painter.isActive()) painter.end();
}

void RasterSurface::Retarget(QPaintDevice* device) {
  if (painter.isActive()) painter.end();
  target = device;
  image = nullptr;
  painterPen = PainterPen::Unknown;
  painterFontSet = false;
  plot.thin = false;
  if (!device) return;
  if (!painter.begin(device)) return;
  begin();
  updatePlot();
}

void RasterSurface::begin() {
  image = nullptr;
  if (target->devType() == QInternal::Image) {
    auto* img = static_cast<QImage*>(target);
    const QImage::Format f = img->format();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
        f == QImage::Format_ARGB32_Premultiplied)
      image = img;
  }
  devW = target->width();
  devH = target->height();
  const double diagonal = std::hypot(devW, devH);
  maxPenWidth = static_cast<int>(std::min(2 * diagonal + 16, 1.0e6));
  painter.setBrush(Qt::NoBrush);
  painter.setBackgroundMode(Qt::TransparentMode);
  linePen = penFor(pen);
}

double RasterSurface::halfPenWidth() const {
  return pen.width > 1 ? std::min(pen.width, maxPenWidth) / 2.0 : 0.5;
}

QPen RasterSurface::makePen(const PenDesc& d) const {
  QPen p(ToQColor(d.color));
  if (d.style == PS_NULL) {
    p.setStyle(Qt::NoPen);
    return p;
  }
  if (d.width > 1) {
    // Wide pens draw solid whatever their style.
    p.setWidth(std::min(d.width, maxPenWidth));
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
  }
  // Width 1, 0 or negative: one pixel (cosmetic), with the dash patterns.
  p.setWidth(0);
  p.setCapStyle(Qt::FlatCap);
  switch (d.style) {
    case PS_DASH: p.setDashPattern({18, 6}); break;
    case PS_DOT: p.setDashPattern({3, 3}); break;
    case PS_DASHDOT: p.setDashPattern({9, 6, 3, 6}); break;
    case PS_DASHDOTDOT: p.setDashPattern({9, 6, 3, 6, 3, 6}); break;
    default: break;
  }
  return p;
}

const QPen& RasterSurface::penFor(const PenDesc& d) {
  const std::uint64_t width = d.width > 1 ? static_cast<std::uint64_t>(std::min(d.width, maxPenWidth)) : 0;
  const std::uint64_t style = d.style >= 0 && d.style <= PS_NULL ? static_cast<std::uint64_t>(d.style) + 1 : 0;
  const std::uint64_t key = (width << 32) | (style << 24) | (d.color & 0xFFFFFFu);
  auto it = penCache.find(key);
  if (it != penCache.end()) return it->second;
  if (penCache.size() > 4096) penCache.clear();
  return penCache.emplace(key, makePen(d)).first->second;
}

void RasterSurface::usePen() {
  if (painterPen != PainterPen::Line) {
    painter.setPen(linePen);
    painterPen = PainterPen::Line;
  }
}

void RasterSurface::useTextPen() {
  if (painterPen != PainterPen::Text) {
    painter.setPen(ToQColor(textColor));
    painterPen = PainterPen::Text;
  }
}

void RasterSurface::MoveToEx(int x, int y) {
  curX = x;
  curY = y;
}

void RasterSurface::LineTo(int x, int y) {
  const long long ix1 = static_cast<long long>(curX) + orgX, iy1 = static_cast<long long>(curY) + orgY;
  const long long ix2 = static_cast<long long>(x) + orgX, iy2 = static_cast<long long>(y) + orgY;
  curX = x;
  curY = y;
  if (plot.thin && ix1 >= 0 && ix2 >= 0 && iy1 >= 0 && iy2 >= 0 && ix1 < plot.w && ix2 < plot.w &&
      iy1 < plot.h && iy2 < plot.h) {
    plotLine(static_cast<int>(ix1), static_cast<int>(iy1), static_cast<int>(ix2), static_cast<int>(iy2));
    return;
  }
  if (!painter.isActive() || linePen.style() == Qt::NoPen) return;
  const double x1 = static_cast<double>(ix1), y1 = static_cast<double>(iy1);
  const double x2 = static_cast<double>(ix2), y2 = static_cast<double>(iy2);
  usePen();
  if (small(x1) && small(y1) && small(x2) && small(y2)) {
    painter.drawLine(QLine(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
                           static_cast<int>(y2)));
    return;
  }
  // Far out: only the part that can reach the target, with room for the pen.
  const double m = halfPenWidth() + 2;
  double a = x1, b = y1, c = x2, d = y2;
  if (!raster::clipLine(a, b, c, d, raster::Box{-m, -m, devW + m, devH + m})) return;
  painter.drawLine(QLineF(a, b, c, d));
}

void RasterSurface::Arc(int left, int top, int right, int bottom, int xStart, int yStart,
                        int xEnd, int yEnd) {
  if (!painter.isActive() || linePen.style() == Qt::NoPen) return;
  const raster::ArcRays rays = raster::arcRays(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
  const double x0 = static_cast<double>(std::min(left, right)) + orgX;
  const double x1 = static_cast<double>(std::max(left, right)) + orgX;
  const double y0 = static_cast<double>(std::min(top, bottom)) + orgY;
  const double y1 = static_cast<double>(std::max(top, bottom)) + orgY;
  drawEllipsePart(x0, y0, x1, y1, rays.startDeg, rays.spanDeg, rays.whole);
}

void RasterSurface::drawEllipsePart(double x0, double y0, double x1, double y1, double startDeg,
                                    double spanDeg, bool whole) {
  if (!(x1 > x0) || !(y1 > y0)) return;  // an empty rectangle draws nothing
  const double m = halfPenWidth() + 2;
  if (x1 < -m || y1 < -m || x0 > devW + m || y0 > devH + m) return;
  if (!whole && !(spanDeg > 0)) return;
  const double a = (x1 - x0) / 2, b = (y1 - y0) / 2;
  if (whole && a == b && plotCircle(x0, y0, a)) return;
  usePen();
  if (a <= kLargeRadius && b <= kLargeRadius && small(x0) && small(y0) && small(x1) && small(y1)) {
    const QRectF rect(x0, y0, x1 - x0, y1 - y0);
    if (whole) {
      painter.drawEllipse(rect);
    } else {
      QPainterPath path;
      path.arcMoveTo(rect, startDeg);
      path.arcTo(rect, startDeg, spanDeg);
      painter.drawPath(path);
    }
    return;
  }
  const double span = whole ? 2 * std::numbers::pi : spanDeg * std::numbers::pi / 180;
  const auto parts = raster::visibleArc((x0 + x1) / 2, (y0 + y1) / 2, a, b, startDeg * std::numbers::pi / 180,
                                        span, raster::Box{-m, -m, devW + m, devH + m});
  for (const auto& part : parts) {
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(part.size() / 2));
    for (std::size_t i = 0; i + 1 < part.size(); i += 2) poly.append(QPointF(part[i], part[i + 1]));
    painter.drawPolyline(poly);
  }
}

void RasterSurface::plotLine(int x, int y, int xe, int ye) {
  // Bresenham from the start point up to, not including, the end point.
  const int dx = std::abs(xe - x), sx = x < xe ? 1 : -1;
  const int dy = -std::abs(ye - y), sy = y < ye ? 1 : -1;
  int err = dx + dy;
  while (x != xe || y != ye) {
    reinterpret_cast<QRgb*>(plot.bits + y * plot.stride)[x] = plot.colour;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void RasterSurface::updatePlot() {
  // One pixel wide and solid (no dash pattern, not the null pen).
  plot.thin = image && painter.isActive() && pen.width <= 1 && linePen.style() == Qt::SolidLine;
  if (!plot.thin) return;
  // The painter draws straight into the image's buffer as well; write where
  // it writes (bits() could detach a shared image from the painter).
  plot.bits = const_cast<uchar*>(image->constBits());
  plot.stride = image->bytesPerLine();
  plot.w = image->width();
  plot.h = image->height();
  plot.colour = ToQRgb(pen.color);
}

bool RasterSurface::plotCircle(double x0, double y0, double r) {
  // Only a pen plotted directly, a whole number radius and a circle of
  // moderate size.
  if (!plot.thin || r != std::floor(r) || r > 16384) return false;
  const int radius = static_cast<int>(r);
  const int cx = static_cast<int>(x0) + radius, cy = static_cast<int>(y0) + radius;
  const long long w = plot.w, h = plot.h;
  const bool inside = cx - radius >= 0 && cy - radius >= 0 && cx + radius < w && cy + radius < h;
  auto put = [&](int x, int y) {
    if (inside || (x >= 0 && y >= 0 && x < w && y < h))
      reinterpret_cast<QRgb*>(plot.bits + y * plot.stride)[x] = plot.colour;
  };
  // Midpoint circle: one octant computed, eight plotted.
  int x = radius, y = 0, err = 1 - radius;
  while (x >= y) {
    put(cx + x, cy + y); put(cx - x, cy + y); put(cx + x, cy - y); put(cx - x, cy - y);
    put(cx + y, cy + x); put(cx - y, cy + x); put(cx + y, cy - x); put(cx - y, cy - x);
    ++y;
    if (err < 0) {
      err += 2 * y + 1;
    } else {
      --x;
      err += 2 * (y - x) + 1;
    }
  }
  return true;
}

const RasterSurface::TextEntry& RasterSurface::textEntry(const char* text, int count) {
  if (textCache.size() > kMaxTextFonts && !textCache.count(font->id)) textCache.clear();
  TextCache& cache = textCache[font->id];
  const std::string_view bytes(text, static_cast<std::size_t>(count));
  auto it = cache.find(bytes);
  if (it != cache.end()) return it->second;
  if (cache.size() >= kMaxTexts) cache.clear();
  TextEntry e;
  const QString s = DecodeTextBytes(text, count);
  e.text.setTextFormat(Qt::PlainText);
  e.text.setPerformanceHint(QStaticText::AggressiveCaching);
  e.text.setText(s);
  e.advance = QFontMetricsF(font->font).horizontalAdvance(s);
  return cache.emplace(std::string(bytes), std::move(e)).first->second;
}

void RasterSurface::TextOutA(int x, int y, const char* text, int count) {
  if (!painter.isActive() || count <= 0 || !text) return;
  if (!font) font = RasterFontFor(*GdiObjects::Font(fontHandle));
  const TextEntry& e = textEntry(text, count);
  double left = static_cast<double>(x) + orgX, top = static_cast<double>(y) + orgY;
  if ((textAlign & TA_CENTER) == TA_CENTER) left -= e.advance / 2;
  else if (textAlign & TA_RIGHT) left -= e.advance;
  if ((textAlign & TA_BASELINE) == TA_BASELINE) top -= font->ascent;
  else if (textAlign & TA_BOTTOM) top -= font->height;
  const double right = left + e.advance, bottom = top + font->height;
  if (right <= 0 || bottom <= 0 || left >= devW || top >= devH) return;
  if (bkMode == OPAQUE) {
    const QRectF cell(QPointF(std::max(left, -1.0), std::max(top, -1.0)),
                      QPointF(std::min(right, devW + 1), std::min(bottom, devH + 1)));
    painter.fillRect(cell, ToQColor(bkColor));
  }
  if (!painterFontSet) {
    painter.setFont(font->font);
    painterFontSet = true;
  }
  useTextPen();
  if (e.advance > devW + 2 * font->height || !small(left)) {
    drawVisibleSlice(text, count, left, top);
    return;
  }
  painter.drawStaticText(QPointF(left, top), e.text);
}

void RasterSurface::drawVisibleSlice(const char* text, int count, double left, double top) {
  // Qt would lay out and rasterise every glyph of a text far wider than the
  // target; only the characters whose advance reaches into it are drawn
  // (with a glyph height of slack for overhangs), placed by the advances of
  // the characters before them.
  const QString s = DecodeTextBytes(text, count);
  const QFontMetricsF m(font->font);
  const double slack = font->height;
  qsizetype first = -1, last = -1;
  double x = left, firstX = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const bool pair = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
    const double w = pair ? m.horizontalAdvance(s.mid(i, 2)) : m.horizontalAdvance(s[i]);
    if (x + w >= -slack && x <= devW + slack) {
      if (first < 0) {
        first = i;
        firstX = x;
      }
      last = pair ? i + 1 : i;
    }
    if (pair) ++i;
    x += w;
    if (x > devW + slack) break;
  }
  if (first < 0) return;
  painter.drawText(QPointF(firstX, top + font->ascent), s.mid(first, last - first + 1));
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
    linePen = penFor(pen);
    updatePlot();
    if (painterPen == PainterPen::Line) painterPen = PainterPen::Unknown;
    return old;
  }
  if (const FontDesc* f = GdiObjects::Font(object)) {
    const GdiHandle old = fontHandle;
    fontHandle = object;
    font = RasterFontFor(*f);
    painterFontSet = false;
    return old;
  }
  return 0;
}

void RasterSurface::SetViewportOrgEx(int x, int y) {
  orgX = x;
  orgY = y;
}

void RasterSurface::EraseBkgnd(int x, int y, int width, int height, std::uint32_t color) {
  if (!painter.isActive() || width <= 0 || height <= 0) return;
  const double x0 = std::max<double>(x, 0), y0 = std::max<double>(y, 0);
  const double x1 = std::min(static_cast<double>(x) + width, devW);
  const double y1 = std::min(static_cast<double>(y) + height, devH);
  if (x1 <= x0 || y1 <= y0) return;
  painter.fillRect(QRectF(x0, y0, x1 - x0, y1 - y0), ToQColor(color));
}
