// The raster surface's arcs and circles in the selected pen: plotted
// directly where lines are, through Qt elsewhere.
#include "framework/surface/RasterSurface.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/surface/RasterGeometry.h"

namespace {

// Above this half-axis, ellipses go through our own visible-part polyline.
constexpr double kLargeRadius = 16384;

using raster::withinQt;

// A ray of an arc request in doubled coordinates about the rectangle's
// centre, y up; the ray of angle 0 where the point is the centre.
void rayOf(long long cx2, long long cy2, long long x, long long y, long long& dx, long long& dy) {
  dx = 2 * x - cx2;
  dy = cy2 - 2 * y;
  if (dx == 0 && dy == 0) dx = 1;
}

}  // namespace

void RasterSurface::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                        int yEnd) {
  if (suspended && !resume()) return;
  if (!painter.isActive()) return;
  const long long l = std::min(left, right), r = std::max(left, right);
  const long long t = std::min(top, bottom), b = std::max(top, bottom);
  if (!direct) {
    const raster::ArcRays rays = raster::arcRays(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
    drawEllipsePart(viewX(double(l)), viewY(double(t)), viewX(double(r)), viewY(double(b)), rays.startDeg,
                    rays.spanDeg, rays.whole);
    return;
  }
  if (r == l || b == t) return;  // an empty rectangle draws nothing
  const long long x0 = l * plotScale + plotX, x1 = r * plotScale + plotX;
  const long long y0 = t * plotScale + plotY, y1 = b * plotScale + plotY;
  const long long w = plotter.Width(), h = plotter.Height();
  // Wholly outside: nothing to draw, and no angles to work out.
  if (x1 + plotReach < 0 || y1 + plotReach < 0 || x0 >= w || y0 >= h) return;
  const raster::ArcRays rays = raster::arcRays(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
  if (!rays.whole && !(rays.spanDeg > 0)) return;
  {
    const double m = plotReach + 2;
    damage((x0 - m) / ratio, (y0 - m) / ratio, (x1 + m) / ratio, (y1 + m) / ratio);
  }
  // A circle of whole radius: the midpoint circle, as a whole circle always
  // is; anything else, or larger, a polyline of fixed chords.
  if (r - l == b - t && (r - l) % 2 == 0 && (r - l) / 2 <= kLargeRadius &&
      (x1 - x0) / 2 <= DirectPlotter::kMaxRadius) {
    const long long radius = (x1 - x0) / 2;
    if (rays.whole && !dashed) {
      plotter.Circle(x0 + radius, y0 + radius, radius);
      return;
    }
    DirectPlotter::Sector sector;
    sector.whole = rays.whole;
    rayOf(l + r, t + b, xStart, yStart, sector.sx, sector.sy);
    rayOf(l + r, t + b, xEnd, yEnd, sector.ex, sector.ey);
    plotter.Arc(x0 + radius, y0 + radius, radius, sector, dashed ? &plotDash : nullptr);
    return;
  }
  // A whole ellipse runs clockwise as seen from the right, as a painter's
  // and an SVG reader's does (its dashes start there).
  if (rays.whole)
    plotEllipse(x0, y0, x1, y1, 0, -2 * std::numbers::pi, r - l == b - t);
  else
    plotEllipse(x0, y0, x1, y1, rays.startDeg * std::numbers::pi / 180, rays.spanDeg * std::numbers::pi / 180,
                r - l == b - t);
}

void RasterSurface::plotEllipse(long long x0, long long y0, long long x1, long long y1, double startRad,
                                double spanRad, bool circle) {
  // Vertices at parametric angles startRad + k * step (counter-clockwise
  // as seen; clockwise for a span below 0), the step fixed by the ellipse
  // alone (chords that stray at most a quarter pixel from it, at most a
  // sixteenth of a turn), so that every target plots the same chords; only
  // those that can reach the image are plotted.
  const double cx = (x0 + x1) / 2.0, cy = (y0 + y1) / 2.0, a = (x1 - x0) / 2.0, b = (y1 - y0) / 2.0;
  const double turn = spanRad < 0 ? -1 : 1, span = std::fabs(spanRad);
  const double most = std::max(a, b);
  const double step0 = std::min(std::sqrt(2.0 / most), std::numbers::pi / 8);
  const double chords = std::ceil(span / step0);
  const double step = span / chords;
  const double m = plotReach + 2;
  // The visible parts, as angles along the way from the start.
  std::vector<double> parts =
      raster::visibleAngles(cx, cy, a, b, turn > 0 ? startRad : startRad - span, span,
                            raster::Box{-m, -m, plotter.Width() + m, plotter.Height() + m});
  if (turn < 0) {
    std::reverse(parts.begin(), parts.end());
    for (double& u : parts) u = span - u;
  }
  // Dashes counted along the curve: the arc's length for a circle, about
  // it for an ellipse.
  const double perRadian = circle ? a : (a + b) / 2;
  const auto vertex = [&](double k, long long& x, long long& y) {
    const double angle = startRad + turn * k * step;
    x = std::llround(cx + a * std::cos(angle));
    y = std::llround(cy - b * std::sin(angle));
  };
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    const double from = std::max(0.0, std::floor(parts[i] / step));
    const double to = std::min(chords, std::ceil(parts[i + 1] / step));
    long long px, py;
    vertex(from, px, py);
    for (double k = from; k < to; ++k) {
      long long qx, qy;
      vertex(k + 1, qx, qy);
      const long long phase = static_cast<long long>(k * step * perRadian);
      plotter.ClippedLine(px, py, qx, qy, dashed ? &plotDash : nullptr, phase);
      px = qx, py = qy;
    }
  }
}

void RasterSurface::drawEllipsePart(double x0, double y0, double x1, double y1, double startDeg,
                                    double spanDeg, bool whole) {
  if (!(x1 > x0) || !(y1 > y0)) return;  // an empty rectangle draws nothing
  const double m = halfPenWidth() + 2;
  if (x1 < -m || y1 < -m || x0 > devW + m || y0 > devH + m) return;
  if (!whole && !(spanDeg > 0)) return;
  damage(x0 - m, y0 - m, x1 + m, y1 + m);
  const double a = (x1 - x0) / 2, b = (y1 - y0) / 2;
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
