// Geometry of the raster surface: clipping, arc rays, visible parts of
// ellipses too large for Qt.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "framework/surface/RasterGeometry.h"

namespace {

using raster::Box;

TEST(SurfaceGeometry, ClipLine) {
  const Box box{0, 0, 100, 100};
  struct Case {
    double x1, y1, x2, y2;
    bool visible;
    double cx1, cy1, cx2, cy2;
  } cases[] = {
      {10, 10, 20, 20, true, 10, 10, 20, 20},
      {-50, 50, 150, 50, true, 0, 50, 100, 50},
      {-3e9, 50, 3e9, 50, true, 0, 50, 100, 50},
      {50, -1e10, 50, 1e10, true, 50, 0, 50, 100},
      {-4294967296.0, 4294967295.0, 100, 0, true, 0, 99.99999764841056, 100, 0},
      {-10, -10, -1, 200, false, 0, 0, 0, 0},
      {200, 0, 300, 100, false, 0, 0, 0, 0},
      {-100, 0, 0, -100, false, 0, 0, 0, 0},
      {5, 5, 5, 5, true, 5, 5, 5, 5},
  };
  for (const auto& c : cases) {
    double a = c.x1, b = c.y1, d = c.x2, e = c.y2;
    ASSERT_EQ(raster::clipLine(a, b, d, e, box), c.visible) << c.x1 << ',' << c.y1;
    if (!c.visible) continue;
    EXPECT_NEAR(a, c.cx1, 1e-6);
    EXPECT_NEAR(b, c.cy1, 1e-6);
    EXPECT_NEAR(d, c.cx2, 1e-6);
    EXPECT_NEAR(e, c.cy2, 1e-6);
  }
}

TEST(SurfaceGeometry, ArcRays) {
  struct Case {
    std::int64_t l, t, r, b, xs, ys, xe, ye;
    bool whole;
    double start, span;
  } cases[] = {
      // Right to top on a circle: a quarter, counter-clockwise as seen.
      {0, 0, 200, 200, 200, 100, 100, 0, false, 0, 90},
      {0, 0, 200, 200, 100, 0, 200, 100, false, 90, 270},
      // Same ray through different points: whole.
      {0, 0, 200, 200, 150, 100, 200, 100, true, 0, 360},
      {0, 0, 200, 200, 0, 100, 0, 100, true, 0, 360},
      // Opposite rays are not coincident.
      {0, 0, 200, 200, 0, 100, 200, 100, false, 180, 180},
      // Ellipse 400 wide, 100 high: the ray at 45 degrees through (300, 0)
      // has parametric angle atan2(200*100, 50*100) = atan(4).
      {0, 0, 400, 100, 300, -50, 400, 50, false, std::atan2(4.0, 1.0) * 180 / M_PI,
       360 - std::atan2(4.0, 1.0) * 180 / M_PI},
      // Nearly coincident rays at the extremes: decided exactly, not whole.
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX - 1, INT_MAX - 1, INT_MAX - 2, false, -45, 0},
      // A point at the centre makes no ray: never whole.
      {0, 0, 10, 10, 5, 5, 5, 5, false, 0, 0},
  };
  for (const auto& c : cases) {
    const raster::ArcRays r = raster::arcRays(c.l, c.t, c.r, c.b, c.xs, c.ys, c.xe, c.ye);
    EXPECT_EQ(r.whole, c.whole) << c.xs << ',' << c.ys;
    EXPECT_NEAR(r.startDeg, c.start, 1e-6) << c.xs << ',' << c.ys;
    if (!c.whole && c.span > 0) {
      EXPECT_NEAR(r.spanDeg, c.span, 1e-6) << c.xs << ',' << c.ys;
    }
  }
}

TEST(SurfaceGeometry, VisibleArcOfAHugeCircle) {
  // Radius 1e9, rightmost point at (60, 50): inside a 100x100 box the arc
  // is a nearly vertical line at x = 60.
  const double r = 1e9;
  const auto parts = raster::visibleArc(60 - r, 50, r, r, 0, 2 * M_PI, Box{-2, -2, 102, 102});
  // Two pieces: the span starts at the rightmost point, inside the box.
  ASSERT_EQ(parts.size(), 2u);
  double ymin = 1e9, ymax = -1e9;
  for (const auto& p : parts) {
    ASSERT_GE(p.size(), 4u);
    for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
      EXPECT_NEAR(p[i], 60, 0.01);
      ymin = std::min(ymin, p[i + 1]);
      ymax = std::max(ymax, p[i + 1]);
    }
  }
  EXPECT_NEAR(ymin, -2, 1e-3);
  EXPECT_NEAR(ymax, 102, 1e-3);
  // The same circle's left half never comes near the box.
  EXPECT_TRUE(raster::visibleArc(60 - r, 50, r, r, M_PI / 2, M_PI, Box{-2, -2, 102, 102}).empty());
}

TEST(SurfaceGeometry, VisibleArcStaysOnTheCurve) {
  // A circle of radius 300 centred at (50, 350) crosses a 100x100 box; every
  // point handed out lies on the circle and in the box.
  const Box box{0, 0, 100, 100};
  const auto parts = raster::visibleArc(50, 350, 300, 300, 0, 2 * M_PI, box);
  ASSERT_FALSE(parts.empty());
  for (const auto& p : parts)
    for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
      EXPECT_NEAR(std::hypot(p[i] - 50, p[i + 1] - 350), 300, 1e-6);
      EXPECT_GE(p[i + 1], -1e-6);
      EXPECT_LE(p[i + 1], 100 + 1e-6);
    }
}

}  // namespace
