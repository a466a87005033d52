#pragma once
// Geometry the raster surface does before handing anything to QPainter, in
// device pixels and double precision: the range Qt takes, clipping lines to
// a box, the parametric angles of an arc's rays, and the visible pieces of
// ellipses too large for Qt's fixed-point rasteriser.

#include <cstdint>
#include <vector>

namespace raster {

// Coordinates Qt's rasteriser takes safely (its fixed point ends near 2^25
// device pixels; ratios go up to 4); anything farther out is clipped or
// drawn another way first.
inline constexpr double kQtSafe = 1 << 20;
inline bool withinQt(double v) { return v > -kQtSafe && v < kQtSafe; }

struct Box {
  double x0, y0, x1, y1;  // x0 <= x1, y0 <= y1
};

// Clips the segment (x1,y1)-(x2,y2) to the box (Liang-Barsky). False when
// nothing of it is inside.
bool clipLine(double& x1, double& y1, double& x2, double& y2, const Box& box);

// An arc request in doubled integer coordinates, so the rectangle's centre
// stays exact.
struct ArcRays {
  double startDeg = 0;  // parametric angle of the start ray, degrees, counter-clockwise as seen
                        // (0 when whole)
  double spanDeg = 0;   // counter-clockwise span in [0, 360)
  bool whole = false;   // coincident rays: the whole ellipse
};

// The rays from the centre of the rectangle (corners in any order) through
// the start and end points; angles as Qt measures them on an ellipse
// (parametric: atan2(a*dy, b*dx), y up). Coincidence is decided exactly.
ArcRays arcRays(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, std::int64_t xs,
                std::int64_t ys, std::int64_t xe, std::int64_t ye);

// The parts of the ellipse (centre cx, cy; half-axes a, b; y down) between
// parametric angles startRad and startRad + spanRad (counter-clockwise as
// seen) that lie inside the box, as pairs of angles from startRad (from,
// to, from, to...), in order; neighbouring parts may touch.
std::vector<double> visibleAngles(double cx, double cy, double a, double b, double startRad, double spanRad,
                                  const Box& box);

// The parts of the ellipse (centre cx, cy; half-axes a, b; y down) between
// parametric angles startRad and startRad + spanRad (counter-clockwise as
// seen) that lie inside the box, as polylines whose chords stray at most a
// quarter pixel from the curve. Each polyline is x, y pairs.
std::vector<std::vector<double>> visibleArc(double cx, double cy, double a, double b, double startRad,
                                            double spanRad, const Box& box);

}  // namespace raster
