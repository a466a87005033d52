// What the raster surface could show of calls in its current state, for
// replays that pass over runs of calls showing nothing.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "framework/surface/RasterPens.h"
#include "framework/surface/RasterSurface.h"

namespace {

// A text's advance a byte, in its character cells at most: the widest
// glyphs run to a few cells, while a byte is at most one character.
constexpr double kCellsAByte = 8;
// What a tab may add a byte, in logical pixels at 1:1: the layout's tab
// stops lie that far apart.
constexpr double kTabAByte = 80;
constexpr double kLeast = INT_MIN, kMost = INT_MAX;

// A bound one past v, kept within the 32-bit range.
std::int32_t below(double v) {
  return static_cast<std::int32_t>(std::clamp(std::floor(v) - 1, kLeast, kMost));
}
std::int32_t above(double v) {
  return static_cast<std::int32_t>(std::clamp(std::ceil(v) + 1, kLeast, kMost));
}

// The surface points whose view lies within `reachX` and `reachY` logical
// pixels of the target, seen at `zoom` from the origin (x0, y0).
CallSight::Bounds surfaceBox(double reachX, double reachY, double devW, double devH, double zoom, double x0,
                             double y0) {
  CallSight::Bounds b{};
  b.left = below((-reachX - x0) / zoom);
  b.right = above((devW + reachX - x0) / zoom);
  b.top = below((-reachY - y0) / zoom);
  b.bottom = above((devH + reachY - y0) / zoom);
  return b;
}

}  // namespace

bool RasterSurface::Sight(CallSight& sight) {
  if (!target || target->devType() != QInternal::Image) return false;
  if (!painter.isActive() && !suspended) return false;
  if (DashPatternOf(pen).count) return false;
  const double x0 = orgX + panX, y0 = orgY - panY;
  // A line's pen, or a plotted point's block, reaches this far past its
  // ends; an arc's, past its rectangle.
  const double reach = halfPenWidth() + zoom + 2;
  sight.shapes = surfaceBox(reach, reach, devW, devH, zoom, x0, y0);
  if (!font) font = RasterFontFor(fontDesc);
  const double scale = textScale();
  const double height = font->height * scale;
  // A text's cell lies within a cell's height of its point whatever the
  // alignment, and its glyphs overhang the cell by half a cell and two
  // pixels at most, as TextOutA reckons.
  const double textReach = 2 * height + 2;
  sight.SetTexts(surfaceBox(textReach, textReach, devW, devH, zoom, x0, y0),
                 (kCellsAByte * height + kTabAByte * scale) / zoom);
  sight.curX = curX;
  sight.curY = curY;
  return true;
}
