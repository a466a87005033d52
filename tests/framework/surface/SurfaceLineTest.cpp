// Thin solid lines on a 32-bit image are plotted directly: every
// direction, the start point drawn and the end point left out, lines that
// leave the image drawn over their visible part, batches of one colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "framework/gdi/TClientDC.h"
#include "framework/gdi/TPen.h"
#include "framework/surface/RasterSurface.h"
#include "tests/framework/surface/SurfaceTestApp.h"

namespace {

int litPixels(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += Rgb(img, x, y) != 0;
  return n;
}

struct Line {
  int x1, y1, x2, y2;
};

}  // namespace

TEST(SurfaceLine, EveryDirectionDrawsFromTheStartUpToTheEnd) {
  EnsureGuiApp();
  const Line lines[] = {
      {10, 10, 30, 10}, {30, 10, 10, 10}, {10, 10, 10, 30}, {10, 30, 10, 10},  // axes
      {10, 10, 30, 30}, {30, 30, 10, 10}, {10, 30, 30, 10}, {30, 10, 10, 30},  // diagonals
      {10, 10, 30, 17}, {30, 17, 10, 10}, {10, 10, 17, 30}, {17, 30, 10, 10},  // shallow, steep
      {5, 35, 33, 2},   {33, 2, 5, 35},
  };
  for (const Line& l : lines) {
    QImage image = BlackImage(40, 40);
    RasterSurface surface(&image);
    {
      TClientDC dc(surface);
      dc.SelectObject(TPen(TColor(255, 0, 0), 1, PS_SOLID));
      dc.MoveToEx(l.x1, l.y1);
      dc.LineTo(l.x2, l.y2);
    }
    surface.End();
    const int steps = std::max(std::abs(l.x2 - l.x1), std::abs(l.y2 - l.y1));
    const auto where = testing::Message() << l.x1 << "," << l.y1 << " -> " << l.x2 << "," << l.y2;
    EXPECT_EQ(Rgb(image, l.x1, l.y1), 0xFF0000u) << where;
    EXPECT_EQ(Rgb(image, l.x2, l.y2), 0u) << where << ": the end point is left out";
    EXPECT_EQ(litPixels(image), steps) << where << ": one pixel a step, no gaps";
  }
}

TEST(SurfaceLine, ZeroLengthDrawsNothingAndThePositionMoves) {
  EnsureGuiApp();
  QImage image = BlackImage(20, 20);
  RasterSurface surface(&image);
  {
    TClientDC dc(surface);
    dc.SelectObject(TPen(TColor(255, 255, 255), 0, PS_SOLID));
    dc.MoveToEx(5, 5);
    dc.LineTo(5, 5);
    dc.LineTo(15, 5);
  }
  surface.End();
  EXPECT_EQ(litPixels(image), 10);
}

TEST(SurfaceLine, LinesLeavingTheImageDrawTheirVisiblePart) {
  EnsureGuiApp();
  QImage image = BlackImage(20, 20);
  RasterSurface surface(&image);
  {
    TClientDC dc(surface);
    dc.SelectObject(TPen(TColor(255, 255, 255), 1, PS_SOLID));
    dc.MoveToEx(-100, 10);
    dc.LineTo(100, 10);
    dc.MoveToEx(10, 5);
    dc.LineTo(10, 20);  // the end lies just outside
  }
  surface.End();
  for (int x = 0; x < 20; ++x) EXPECT_EQ(Rgb(image, x, 10), 0xFFFFFFu) << x;
  for (int y = 5; y < 20; ++y) EXPECT_EQ(Rgb(image, 10, y), 0xFFFFFFu) << y;
}

// The plotter's fast loops against the textbook Bresenham loop, for every
// slope and direction of lines up to 24 pixels along each axis.
TEST(SurfaceLine, PlottedPixelsAreTheTextbookBresenhamPixels) {
  EnsureGuiApp();
  constexpr int kReach = 24, kSize = 2 * kReach + 1, c = kReach;
  for (int dx = -kReach; dx <= kReach; ++dx)
    for (int dy = -kReach; dy <= kReach; ++dy) {
      QImage image = BlackImage(kSize, kSize);
      RasterSurface surface(&image);
      {
        TClientDC dc(surface);
        dc.SelectObject(TPen(TColor(255, 255, 255), 1, PS_SOLID));
        dc.MoveToEx(c, c);
        dc.LineTo(c + dx, c + dy);
      }
      surface.End();
      QImage want = BlackImage(kSize, kSize);
      int x = c, y = c;
      const int ex = c + dx, ey = c + dy, ax = std::abs(dx), ay = -std::abs(dy);
      int err = ax + ay;
      while (x != ex || y != ey) {
        want.setPixel(x, y, 0xFFFFFFFFu);
        const int e2 = 2 * err;
        if (e2 >= ay) err += ay, x += dx > 0 ? 1 : -1;
        if (e2 <= ax) err += ax, y += dy > 0 ? 1 : -1;
      }
      ASSERT_EQ(image, want) << "line by " << dx << "," << dy;
    }
}

// Lines of one colour are plotted in batches, band of rows by band of
// rows, and long ones at once: runs of many lines of one colour between
// others, at ratios 1 and 2, light the pixels the textbook loop lights
// drawing them in order.
TEST(SurfaceLine, BatchedLinesKeepTheOrderOfTheirColours) {
  EnsureGuiApp();
  constexpr int W = 300, H = 200;
  std::mt19937 rng(17);
  const auto in = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  struct Run {
    unsigned colour;
    std::vector<Line> lines;
  };
  std::vector<Run> runs;
  for (int r = 0; r < 12; ++r) {
    Run run{static_cast<unsigned>(in(1, 3)) * 0x3F3F3Fu, {}};
    for (int k = in(1, 1500); k > 0; --k) {
      // Mostly short lines; every tenth reaches further than a band.
      const int x = in(0, W - 1), y = in(0, H - 1), reach = k % 10 ? 30 : 150;
      run.lines.push_back(
          {x, y, std::clamp(x + in(-reach, reach), 0, W - 1), std::clamp(y + in(-reach, reach), 0, H - 1)});
    }
    runs.push_back(std::move(run));
  }
  for (int ratio : {1, 2}) {
    QImage image = BlackImage(W * ratio, H * ratio);
    image.setDevicePixelRatio(ratio);
    RasterSurface surface(&image);
    {
      TClientDC dc(surface);
      for (const Run& run : runs) {
        dc.SelectObject(TPen(TColor(run.colour & 0xFF, run.colour & 0xFF, run.colour & 0xFF), 1, PS_SOLID));
        for (const Line& l : run.lines) {
          dc.MoveToEx(l.x1, l.y1);
          dc.LineTo(l.x2, l.y2);
        }
      }
    }
    surface.End();
    QImage want = BlackImage(W * ratio, H * ratio);
    for (const Run& run : runs)
      for (const Line& l : run.lines) {
        // At device resolution, each point a ratio x ratio block, stopping
        // ratio - 1 points short of the end.
        int x = l.x1 * ratio, y = l.y1 * ratio;
        const int ex = l.x2 * ratio, ey = l.y2 * ratio, ax = std::abs(ex - x), ay = -std::abs(ey - y);
        int err = ax + ay;
        for (int k = std::max(ax, -ay) - ratio + 1; k > 0; --k) {
          for (int by = 0; by < ratio; ++by)
            for (int bx = 0; bx < ratio; ++bx) want.setPixel(x + bx, y + by, 0xFF000000u | run.colour);
          const int e2 = 2 * err;
          if (e2 >= ay) err += ay, x += ex > x ? 1 : -1;
          if (e2 <= ax) err += ax, y += ey > y ? 1 : -1;
        }
      }
    want.setDevicePixelRatio(ratio);
    EXPECT_EQ(image, want) << "ratio " << ratio;
  }
}
