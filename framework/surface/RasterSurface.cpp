#include "framework/surface/RasterSurface.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/TextBytes.h"
#include "framework/surface/ColorValue.h"
#include "framework/surface/RasterGeometry.h"

namespace {

// Coordinates Qt's rasteriser takes safely (its fixed point ends near 2^25
// device pixels; ratios go up to 4).
constexpr double kSafe = 1 << 20;
// Above this half-axis, ellipses go through our own visible-part polyline.
constexpr double kLargeRadius = 16384;
// Qt keeps images of glyphs up to 64 device pixels and fills the outlines
// of larger ones at every drawing. Glyphs of fonts above 64 logical pixels
// are drawn from masks, up to the largest device size kept as masks. (A
// smaller font on a scaled image is outlined by Qt in another way, which
// masks do not reproduce pixel for pixel: it stays with Qt.)
constexpr int kQtGlyphImagePixels = 64;
constexpr double kLargestMaskPixels = 512;

bool small(double v) { return v > -kSafe && v < kSafe; }

}  // namespace

RasterSurface::RasterSurface(QPaintDevice* device) {
  pen = *GdiObjects::Pen(penHandle);
  Retarget(device);
}

RasterSurface::~RasterSurface() {
  if (painter.isActive()) {
    plotter.Flush();  // while painting, the target is alive: queued lines still reach it
    painter.end();
  }
}

void RasterSurface::Retarget(QPaintDevice* device) {
  if (painter.isActive()) painter.end();
  suspended = false;
  target = device;
  painterPen = PainterPen::Unknown;
  painterFontSet = false;
  plotter.Detach();
  thin = false;
  glyphPixels = PixelTarget();
  if (!device) return;
  if (!painter.begin(device)) return;
  begin();
  updatePlot();
}

void RasterSurface::Suspend() {
  if (!painter.isActive()) return;
  painter.end();
  suspended = true;
  painterPen = PainterPen::Unknown;
  painterFontSet = false;
  plotter.Detach();
  thin = false;
  glyphPixels = PixelTarget();
}

bool RasterSurface::resume() {
  suspended = false;
  if (!target || !painter.begin(target)) return false;
  begin();
  updatePlot();
  return true;
}

QRect RasterSurface::TakeDamage() {
  if (plotted.left <= plotted.right) {
    damage(plotted.left, plotted.top, plotted.right + 1LL, plotted.bottom + 1LL);
    plotted = Plotted();
  }
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
  if (penCacheUnitRatio != (ratio == 1)) {
    penCache.clear();  // thin pens differ between ratio 1 and the others
    penCacheUnitRatio = ratio == 1;
  }
  linePen = penFor(pen);
}

double RasterSurface::halfPenWidth() const {
  return pen.width > 1 ? std::min(pen.width, maxPenWidth) / 2.0 : 0.5;
}

double RasterSurface::penShift() const {
  // Qt fills the device pixels whose top-left corner lies in the shape. At
  // ratio 1 an odd width centred on a whole coordinate thus covers the
  // pixels from y - (w-1)/2 to y + (w-1)/2; at ratio r the same set needs
  // the shape centred half a logical pixel further on. Even widths cover
  // y - w/2 to y + w/2 - 1 at every ratio unmoved.
  if (ratio == 1) return 0;
  const int w = pen.width > 1 ? std::min(pen.width, maxPenWidth) : 1;
  return w % 2 ? 0.5 : 0;
}

QPen RasterSurface::makePen(const PenDesc& d) const {
  QPen p(ToQColor(d.color));
  if (d.width > 1) {
    // Wide pens draw solid whatever their style.
    p.setWidth(std::min(d.width, maxPenWidth));
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
  }
  // Width 1, 0 or negative: one logical pixel, with the dash patterns (in
  // pen widths, so logical pixels). Qt's cosmetic pen is one device pixel,
  // which is one logical pixel only at ratio 1.
  p.setWidth(ratio == 1 ? 0 : 1);
  p.setCapStyle(Qt::FlatCap);
  switch (d.style) {
    case PS_DASH:
      p.setDashPattern({18, 6});
      break;
    case PS_DOT:
      p.setDashPattern({3, 3});
      break;
    case PS_DASHDOT:
      p.setDashPattern({9, 6, 3, 6});
      break;
    default:
      break;
  }
  return p;
}

const QPen& RasterSurface::penFor(const PenDesc& d) {
  const std::uint64_t width = d.width > 1 ? static_cast<std::uint64_t>(std::min(d.width, maxPenWidth)) : 0;
  // Thin pens of a style without a pattern draw solid, and so does every
  // wide pen.
  const bool dashed = d.style == PS_DASH || d.style == PS_DOT || d.style == PS_DASHDOT;
  const std::uint64_t style = width == 0 && dashed ? static_cast<std::uint64_t>(d.style) : 0;
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

void RasterSurface::updatePlot() {
  // One pixel wide and solid (no dash pattern).
  thin = plotter.Attached() && painter.isActive() && pen.width <= 1 && linePen.style() == Qt::SolidLine;
  if (thin) plotter.SetColour(ToQRgb(pen.color));
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
  if (suspended && !resume()) return;
  if (thin && plotter.Contains(ix1, iy1) && plotter.Contains(ix2, iy2)) {
    const int x1 = static_cast<int>(ix1), y1 = static_cast<int>(iy1);
    const int x2 = static_cast<int>(ix2), y2 = static_cast<int>(iy2);
    plotter.Line(x1, y1, x2, y2);
    // Inside the image: a bounding box of plain ints, kept apart from the
    // rest of the damage, costs the least on this, the hottest path.
    plotted.left = std::min(plotted.left, std::min(x1, x2));
    plotted.top = std::min(plotted.top, std::min(y1, y2));
    plotted.right = std::max(plotted.right, std::max(x1, x2));
    plotted.bottom = std::max(plotted.bottom, std::max(y1, y2));
    return;
  }
  if (!painter.isActive()) return;
  plotter.Flush();  // Qt draws next: the queued lines go first
  {
    const double reach = halfPenWidth() + 2;
    damage(std::min(ix1, ix2) - reach, std::min(iy1, iy2) - reach, std::max(ix1, ix2) + reach,
           std::max(iy1, iy2) + reach);
  }
  double x1 = static_cast<double>(ix1), y1 = static_cast<double>(iy1);
  double x2 = static_cast<double>(ix2), y2 = static_cast<double>(iy2);
  usePen();
  if (ratio == 1 && small(x1) && small(y1) && small(x2) && small(y2)) {
    painter.drawLine(
        QLine(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2)));
    return;
  }
  if (const double s = penShift(); s != 0) {
    // A wide pen's round ends reach the same way along the line as across;
    // a thin pen's flat ends already sit on pixel edges along it.
    const bool alongX = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
    const double sx = pen.width > 1 || !alongX ? s : 0, sy = pen.width > 1 || alongX ? s : 0;
    x1 += sx, x2 += sx, y1 += sy, y2 += sy;
  }
  if (small(x1) && small(y1) && small(x2) && small(y2)) {
    painter.drawLine(QLineF(x1, y1, x2, y2));
    return;
  }
  // Far out: only the part that can reach the target, with room for the pen.
  const double m = halfPenWidth() + 2;
  if (!raster::clipLine(x1, y1, x2, y2, raster::Box{-m, -m, devW + m, devH + m})) return;
  painter.drawLine(QLineF(x1, y1, x2, y2));
}

void RasterSurface::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                        int yEnd) {
  if (suspended && !resume()) return;
  if (!painter.isActive()) return;
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
  damage(x0 - m, y0 - m, x1 + m, y1 + m);
  const double a = (x1 - x0) / 2, b = (y1 - y0) / 2;
  if (whole && a == b && thin && plotter.Circle(x0, y0, a)) return;
  plotter.Flush();
  usePen();
  const double s = penShift();
  x0 += s, x1 += s, y0 += s, y1 += s;
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

void RasterSurface::TextOutA(int x, int y, const char* text, int count) {
  if (count <= 0 || !text) return;
  if (suspended && !resume()) return;
  if (!painter.isActive()) return;
  plotter.Flush();
  if (!font) font = RasterFontFor(fontDesc);
  double top = static_cast<double>(y) + orgY;
  if ((textAlign & TA_BASELINE) == TA_BASELINE)
    top -= font->ascent;
  else if (textAlign & TA_BOTTOM)
    top -= font->height;
  const double bottom = top + font->height;
  // A text above or below the picture is not even laid out.
  if (bottom <= 0 || top >= devH) return;
  const bool own = ownsGlyphs();
  const TextCache::Entry& e = texts.Get(*font, ratio, text, count, own);
  double left = static_cast<double>(x) + orgX;
  if ((textAlign & TA_CENTER) == TA_CENTER)
    left -= e.advance / 2;
  else if (textAlign & TA_RIGHT)
    left -= e.advance;
  const double right = left + e.advance;
  if (right <= 0 || left >= devW) return;
  // Glyphs may overhang their cell a little (italics, accents).
  const double overhang = font->height / 2.0 + 2;
  damage(left - overhang, top - overhang, right + overhang, bottom + overhang);
  if (bkMode == OPAQUE) {
    const QRectF cell(QPointF(std::max(left, -1.0), std::max(top, -1.0)),
                      QPointF(std::min(right, devW + 1), std::min(bottom, devH + 1)));
    painter.fillRect(cell, ToQColor(bkColor));
  }
  const bool wide = e.advance > devW + 2 * font->height || !small(left);
  if (own && e.placed && !wide && drawGlyphs(e, left, top)) return;
  if (!painterFontSet) {
    painter.setFont(font->font);
    painterFontSet = true;
  }
  useTextPen();
  if (wide) {
    drawVisibleSlice(text, count, left, top);
    return;
  }
  painter.drawStaticText(QPointF(left, top), e.text);
}

bool RasterSurface::ownsGlyphs() const {
  const int pixels = font->font.pixelSize();
  return glyphMasksOn && glyphPixels.bits && pixels > kQtGlyphImagePixels &&
         pixels * ratio <= kLargestMaskPixels && !font->font.underline() && !font->font.strikeOut();
}

bool RasterSurface::drawGlyphs(const TextCache::Entry& e, double left, double top) {
  for (const QRawFont& f : e.fonts)
    if (!glyphMasks.Drawable(f)) return false;
  const QRgb rgb = ToQRgb(textColor);
  // Qt places a text at its position cut to 64ths of a logical pixel
  // (toward zero); glyphs go where Qt would put them.
  left = std::trunc(left * 64) / 64;
  top = std::trunc(top * 64) / 64;
  // Glyphs reach a few ems from their origin at most; those farther off
  // the target are not even made.
  const double reach = 8 * font->font.pixelSize() * ratio;
  for (const PlacedGlyph& g : e.glyphs) {
    const double x = (left + g.x) * ratio, y = (top + g.y) * ratio;
    if (x < -reach || y < -reach || x > glyphPixels.w + reach || y > glyphPixels.h + reach) continue;
    glyphMasks.Draw(e.fonts[static_cast<std::size_t>(g.font)], g.glyph, ratio, x, y, rgb, glyphPixels);
  }
  return true;
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
}

void RasterSurface::EraseBkgnd(int x, int y, int width, int height, std::uint32_t color) {
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
