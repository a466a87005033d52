// Arcs and whole circles on the raster surface, and geometry far outside
// the image, which draws its visible part.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <utility>

#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"
#include "tests/framework/surface/SurfaceRasterFixture.h"

namespace {

TEST_F(SurfaceRaster, ArcCoversItsQuarterOnly) {
  // Rectangle 50..150 in device pixels; start ray to the right, end ray up:
  // counter-clockwise as seen, the upper-right quarter.
  QImage& img = newImage(200, 200);
  surface = std::make_unique<RasterSurface>(&img);
  dc = std::make_unique<TClientDC>(*surface);
  dc->SelectObject(TPen(TColor(255, 255, 255)));
  dc->Arc(50, 50, 150, 150, 180, 100, 100, 0);
  EXPECT_TRUE(litNear(img, 135, 65));    // upper right
  EXPECT_FALSE(litNear(img, 65, 65));    // upper left
  EXPECT_FALSE(litNear(img, 65, 135));   // lower left
  EXPECT_FALSE(litNear(img, 135, 135));  // lower right
  EXPECT_TRUE(litNear(img, 149, 100));
  EXPECT_TRUE(litNear(img, 100, 50));
  // Coincident rays: the whole ellipse.
  img.fill(0xFF000000u);
  dc->Arc(50, 50, 150, 150, 180, 100, 160, 100);
  for (auto [x, y] : {std::pair{135, 65}, {65, 65}, {65, 135}, {135, 135}})
    EXPECT_TRUE(litNear(img, x, y)) << x << ',' << y;
  // Corners in the other order give the same ellipse; an empty one nothing.
  img.fill(0xFF000000u);
  dc->Arc(150, 150, 50, 50, 180, 100, 100, 0);
  EXPECT_TRUE(litNear(img, 135, 65));
  EXPECT_FALSE(litNear(img, 65, 135));
  img.fill(0xFF000000u);
  dc->Arc(50, 50, 50, 150, 0, 0, 0, 0);
  EXPECT_EQ(lit(img).count, 0);
}

TEST_F(SurfaceRaster, WholeCirclesLieOnTheirRadius) {
  // Thin solid circles are plotted directly, also where they leave the
  // image; a dashed one goes through Qt and shows gaps.
  struct Case {
    int cx, cy, r, style;
  } cases[] = {{32, 32, 20, PS_SOLID}, {0, 0, 30, PS_SOLID}, {63, 10, 40, PS_SOLID}, {32, 32, 25, PS_DOT}};
  for (const auto& c : cases) {
    QImage& img = newImage(64, 64);
    surface = std::make_unique<RasterSurface>(&img);
    dc = std::make_unique<TClientDC>(*surface);
    dc->SelectObject(TPen(TColor(0, 255, 0), 1, c.style));
    dc->Arc(c.cx - c.r, c.cy - c.r, c.cx + c.r, c.cy + c.r, c.cx + c.r, c.cy, c.cx + c.r, c.cy);
    int count = 0, onCircle = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        if (Rgb(img, x, y) == kBlack) continue;
        ++count;
        onCircle += std::abs(std::hypot(x - c.cx, y - c.cy) - c.r) <= 1.0;
      }
    EXPECT_GT(count, c.r) << c.r;
    EXPECT_EQ(onCircle, count) << c.r;
    if (c.style == PS_DOT) {
      EXPECT_LT(count, 2 * 3.2 * c.r * 0.75);
    }
    finish();
  }
}

TEST_F(SurfaceRaster, FarAwayGeometryDrawsItsVisiblePart) {
  QImage& img = newImage(100, 100);
  surface = std::make_unique<RasterSurface>(&img);
  dc = std::make_unique<TClientDC>(*surface);
  dc->SelectObject(TPen(TColor(255, 255, 255)));
  dc->MoveToEx(-2000000000, 50);
  dc->LineTo(2000000000, 50);
  for (int x = 0; x < 100; ++x) EXPECT_EQ(Rgb(img, x, 50), kWhite) << x;
  // A circle of radius 10^9 whose rightmost point is (60, 50): near the
  // image it is a vertical line.
  img.fill(0xFF000000u);
  dc->Arc(-1999999940, -999999950, 60, 1000000050, 60, 50, 60, 50);
  for (int y = 0; y < 100; ++y) EXPECT_TRUE(litNear(img, 60, y, 1)) << y;
  EXPECT_GE(lit(img).x0, 58);
  EXPECT_LE(lit(img).x1, 61);
  // Extremes of every argument: drawn or not, without harm.
  dc->SelectObject(TPen(TColor(1, 2, 3), INT_MAX));
  dc->MoveToEx(INT_MIN, INT_MIN);
  dc->LineTo(INT_MAX, INT_MAX);
  dc->Arc(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0, INT_MAX, 1);
  dc->Arc(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0);
  dc->SelectObject(TPen(TColor(1, 2, 3), 0));
  dc->Arc(INT_MIN, -5, INT_MAX, 5, INT_MIN, 0, INT_MAX, 1);
  dc->SelectObject(TFont(nullptr, INT_MIN));
  dc->TextOutA(INT_MIN, INT_MAX, "Wide", 4);
  dc->TextOutA(-3, -3, "Wide", 4);
  dc->SelectObject(TFont(nullptr, INT_MAX));
  dc->TextOutA(INT_MAX, INT_MIN, "Wide", 4);
  dc->EraseBkgnd(-5, -5, INT_MAX, INT_MAX, 0x00FF00);
  EXPECT_EQ(Rgb(img, 0, 0), 0x00FF00u);
}

}  // namespace
