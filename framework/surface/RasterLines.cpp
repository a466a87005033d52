// The raster surface's lines in the selected pen: plotted directly where the
// target and the view allow, through Qt elsewhere.
#include "framework/surface/RasterSurface.h"

#include <algorithm>
#include <cmath>

#include "framework/surface/ColorValue.h"
#include "framework/surface/RasterGeometry.h"

namespace {

// The largest block the plotter draws a point as (device pixels): a
// one-unit pen at zoom 64 on an image of ratio 4 is 256 device pixels wide.
constexpr double kMostBlock = 1024;
// Device coordinates of plotted points stay below 2^40 (LineSteps): a
// surface coordinate (below 2^31) times the block, plus the translation.
constexpr double kMostTranslation = 1LL << 39;

using raster::withinQt;

}  // namespace

double RasterSurface::halfPenWidth() const {
  if (identity) return pen.width > 1 ? std::min(pen.width, maxPenWidth) / 2.0 : 0.5;
  if (pen.width > 1) return std::min(pen.width * zoom, static_cast<double>(maxPenWidth)) / 2;
  return std::max(zoom, 1 / ratio) / 2;
}

double RasterSurface::penShift() const {
  // Qt fills the device pixels whose top-left corner lies in the shape. At
  // ratio 1 an odd width centred on a whole coordinate thus covers the
  // pixels from y - (w-1)/2 to y + (w-1)/2; at ratio r the same set needs
  // the shape centred half a logical pixel further on. Even widths cover
  // y - w/2 to y + w/2 - 1 at every ratio unmoved. Under a zoom the pen's
  // width is rarely whole: nothing is moved.
  if (ratio == 1 || !identity) return 0;
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
  plottable = false;
  direct = dashed = false;
  if (!plotter.Attached() || !painter.isActive()) return;
  // Plotted where a unit is a whole number of device pixels and the origin
  // and the pan land on whole device pixels.
  const double scale = ratio * zoom;
  const double tx = ratio * (orgX + panX), ty = ratio * (orgY - panY);
  if (!(scale >= 1 && scale <= kMostBlock && scale == std::floor(scale))) return;
  if (!(std::fabs(tx) < kMostTranslation && std::fabs(ty) < kMostTranslation)) return;
  if (tx != std::floor(tx) || ty != std::floor(ty)) return;
  plotScale = static_cast<long long>(scale);
  plotX = static_cast<long long>(tx);
  plotY = static_cast<long long>(ty);
  if (plotReach != plotScale - 1) {
    takePlotted();  // the bounds plotted so far cover blocks of the old size
    plotReach = static_cast<int>(plotScale - 1);
  }
  plotter.SetBlock(static_cast<int>(plotScale));
  plottable = true;
  usePlotPen();
}

void RasterSurface::usePlotPen() {
  direct = plottable && pen.width <= 1;
  dashed = false;
  if (!direct) return;
  plotter.SetColour(ToQRgb(pen.color));
  const DashPattern d = DashPatternOf(pen);
  if (!d.count) return;
  dashed = true;
  // In device steps; each point lights a block that reaches a block - 1
  // steps further, so the points of a dash stop that much short of its
  // length, and the gap after it is as much longer.
  plotDash.count = d.count;
  for (int i = 0; i < d.count; ++i) plotDash.len[i] = d.len[i] * plotScale + (i % 2 ? 1 : -1) * plotReach;
  plotDash.period = d.period * plotScale;
}

void RasterSurface::LineTo(int x, int y) {
  const long long fx = curX, fy = curY;
  curX = x;
  curY = y;
  if (suspended && !resume()) return;
  if (direct) {
    const long long x1 = fx * plotScale + plotX, y1 = fy * plotScale + plotY;
    const long long x2 = x * plotScale + plotX, y2 = y * plotScale + plotY;
    if (!dashed && plotter.Holds(x1, y1) && plotter.Holds(x2, y2)) {
      const int ix1 = static_cast<int>(x1), iy1 = static_cast<int>(y1);
      const int ix2 = static_cast<int>(x2), iy2 = static_cast<int>(y2);
      plotter.Line(ix1, iy1, ix2, iy2);
      // Inside the image: a bounding box of plain ints, kept apart from the
      // rest of the damage, costs the least on this, the hottest path.
      plotted.left = std::min(plotted.left, std::min(ix1, ix2));
      plotted.top = std::min(plotted.top, std::min(iy1, iy2));
      plotted.right = std::max(plotted.right, std::max(ix1, ix2));
      plotted.bottom = std::max(plotted.bottom, std::max(iy1, iy2));
      return;
    }
    plotLine(x1, y1, x2, y2);
    return;
  }
  if (!painter.isActive()) return;
  const double length = DashPatternOf(pen).count ? std::hypot(double(x) - fx, double(y) - fy) : 0;
  drawLine(viewX(double(fx)), viewY(double(fy)), viewX(x), viewY(y), length);
}

void RasterSurface::plotLine(long long x1, long long y1, long long x2, long long y2) {
  // What may show: the line's bounding box, clipped to the image.
  const long long w = plotter.Width(), h = plotter.Height();
  const long long left = std::min(x1, x2), right = std::max(x1, x2) + plotReach;
  const long long top = std::min(y1, y2), bottom = std::max(y1, y2) + plotReach;
  const bool reaches = right >= 0 && bottom >= 0 && left < w && top < h;
  if (reaches) {
    plotted.left = std::min(plotted.left, static_cast<int>(std::max(left, 0LL)));
    plotted.top = std::min(plotted.top, static_cast<int>(std::max(top, 0LL)));
    plotted.right = std::max(plotted.right, static_cast<int>(std::min(right - plotReach, w - 1)));
    plotted.bottom = std::max(plotted.bottom, static_cast<int>(std::min(bottom - plotReach, h - 1)));
  }
  // A line wholly outside draws nothing: only a dash pattern runs on.
  if (!dashed) {
    if (reaches) plotter.ClippedLine(x1, y1, x2, y2);
    return;
  }
  // The pattern in device steps, on from where the last line left it; the
  // major span is a whole number of units.
  const long long phase = static_cast<long long>(dashPhase), period = plotDash.period / plotScale;
  if (reaches) plotter.ClippedLine(x1, y1, x2, y2, &plotDash, phase * plotScale);
  const long long major = std::max(std::llabs(x2 - x1), std::llabs(y2 - y1)) / plotScale;
  dashPhase = static_cast<double>((phase + major) % period);
}

void RasterSurface::drawLine(double x1, double y1, double x2, double y2, double length) {
  plotter.Flush();  // Qt draws next: the batched lines go first
  {
    const double reach = halfPenWidth() + 2;
    damage(std::min(x1, x2) - reach, std::min(y1, y2) - reach, std::max(x1, x2) + reach,
           std::max(y1, y2) + reach);
  }
  const DashPattern dash = DashPatternOf(pen);
  const double phase = dashPhase;
  if (dash.count) dashPhase = std::fmod(dashPhase + length, static_cast<double>(dash.period));
  double skipped = 0;  // logical pixels of the line cut off before its visible part
  if (ratio == 1 && identity && withinQt(x1) && withinQt(y1) && withinQt(x2) && withinQt(y2)) {
    // Whole coordinates: the integer line, as at 1:1 without a view.
  } else {
    if (const double s = penShift(); s != 0) {
      // A wide pen's round ends reach the same way along the line as across;
      // a thin pen's flat ends already sit on pixel edges along it.
      const bool alongX = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
      const double sx = pen.width > 1 || !alongX ? s : 0, sy = pen.width > 1 || alongX ? s : 0;
      x1 += sx, x2 += sx, y1 += sy, y2 += sy;
    }
    if (!(withinQt(x1) && withinQt(y1) && withinQt(x2) && withinQt(y2))) {
      // Far out: only the part that can reach the target, with room for the pen.
      const double m = halfPenWidth() + 2, fromX = x1, fromY = y1;
      if (!raster::clipLine(x1, y1, x2, y2, raster::Box{-m, -m, devW + m, devH + m})) return;
      skipped = std::hypot(x1 - fromX, y1 - fromY);
    }
  }
  if (dash.count && (phase != 0 || skipped != 0)) {
    // The pattern goes on where the last line left it: an offset in pen
    // widths (a thin pen's pattern is zoom / width of them a logical pixel
    // at 1:1).
    const double width = linePen.widthF() > 0 ? linePen.widthF() : 1;
    QPen offset = linePen;
    offset.setDashOffset((phase * zoom + skipped) / width);
    painter.setPen(offset);
    painterPen = PainterPen::Unknown;
  } else {
    usePen();
  }
  if (ratio == 1 && identity && withinQt(x1) && withinQt(y1) && withinQt(x2) && withinQt(y2) && skipped == 0)
    painter.drawLine(
        QLine(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2)));
  else
    painter.drawLine(QLineF(x1, y1, x2, y2));
}
