// The raster surface's lines and arcs in the selected pen.
#include "framework/surface/RasterSurface.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/surface/ColorValue.h"
#include "framework/surface/RasterGeometry.h"

namespace {

// Above this half-axis, ellipses go through our own visible-part polyline.
constexpr double kLargeRadius = 16384;

using raster::withinQt;

}  // namespace

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

void RasterSurface::usePen() {
  if (painterPen != PainterPen::Line) {
    painter.setPen(linePen);
    painterPen = PainterPen::Line;
  }
}

void RasterSurface::updatePlot() {
  // One pixel wide and solid (no dash pattern).
  thin = plotter.Attached() && painter.isActive() && pen.width <= 1 && linePen.style() == Qt::SolidLine;
  if (thin) plotter.SetColour(ToQRgb(pen.color));
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
  drawLine(ix1, iy1, ix2, iy2);
}

void RasterSurface::drawLine(long long ix1, long long iy1, long long ix2, long long iy2) {
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
  if (ratio == 1 && withinQt(x1) && withinQt(y1) && withinQt(x2) && withinQt(y2)) {
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
  if (withinQt(x1) && withinQt(y1) && withinQt(x2) && withinQt(y2)) {
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
  if (a <= kLargeRadius && b <= kLargeRadius && withinQt(x0) && withinQt(y0) && withinQt(x1) &&
      withinQt(y1)) {
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
