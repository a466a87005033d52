// The closed form of a Bresenham line against the textbook loop: every
// point, the steps within a box, and coordinates far beyond an image.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "framework/surface/LineSteps.h"

namespace {

using Points = std::vector<std::pair<long long, long long>>;

// The textbook loop's points from (x, y) up to, not including, (ex, ey).
Points textbook(long long x, long long y, long long ex, long long ey) {
  Points p;
  const long long dx = std::llabs(ex - x), dy = -std::llabs(ey - y);
  const long long sx = x < ex ? 1 : -1, sy = y < ey ? 1 : -1;
  long long err = dx + dy;
  while (x != ex || y != ey) {
    p.emplace_back(x, y);
    const long long e2 = 2 * err;
    if (e2 >= dy) err += dy, x += sx;
    if (e2 <= dx) err += dx, y += sy;
  }
  return p;
}

// The closed form's points for steps 0 to major - 1, each checked against
// the remainder that carries the trace from one step to the next.
Points closedForm(long long x1, long long y1, long long x2, long long y2) {
  const raster::LineTrace t = raster::TraceOf(x1, y1, x2, y2);
  Points p;
  for (long long k = 0; k < t.major; ++k) {
    const raster::TracePoint q = raster::PointAt(t, k);
    EXPECT_GE(q.rem, 0);
    EXPECT_LT(q.rem, 2 * t.major);
    p.emplace_back(q.x, q.y);
  }
  return p;
}

}  // namespace

TEST(LineSteps, EveryPointIsTheTextbookPoint) {
  constexpr int kReach = 30;
  for (int dx = -kReach; dx <= kReach; ++dx)
    for (int dy = -kReach; dy <= kReach; ++dy)
      ASSERT_EQ(closedForm(5, -7, 5 + dx, -7 + dy), textbook(5, -7, 5 + dx, -7 + dy)) << dx << "," << dy;
}

TEST(LineSteps, StepsWithinABoxAreThoseWhosePointsLieInIt) {
  std::mt19937 rng(3);
  const auto in = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 3000; ++round) {
    const long long x1 = in(-60, 60), y1 = in(-60, 60), x2 = in(-60, 60), y2 = in(-60, 60);
    const long long bx0 = in(-40, 30), by0 = in(-40, 30), bx1 = bx0 + in(-2, 40), by1 = by0 + in(-2, 40);
    const raster::LineTrace t = raster::TraceOf(x1, y1, x2, y2);
    const long long first = in(0, 5), last = t.major - 1 - in(0, 5);
    const raster::StepRange r = raster::StepsWithin(t, first, last, bx0, by0, bx1, by1);
    // A line is convex: the steps inside form one range.
    long long from = 1, to = 0;
    for (long long k = first; k <= last; ++k) {
      const raster::TracePoint p = raster::PointAt(t, k);
      if (p.x < bx0 || p.x > bx1 || p.y < by0 || p.y > by1) continue;
      if (from > to) from = k;
      to = k;
    }
    const auto what = testing::Message()
                      << x1 << "," << y1 << " -> " << x2 << "," << y2 << " in " << bx0 << "," << by0 << ".."
                      << bx1 << "," << by1 << " steps " << first << ".." << last;
    if (from > to) {
      EXPECT_GT(r.from, r.to) << what;
    } else {
      EXPECT_EQ(r.from, from) << what;
      EXPECT_EQ(r.to, to) << what;
    }
  }
}

TEST(LineSteps, FarCoordinatesNeitherOverflowNorLoseTheLine) {
  // A line across 2^40 pixels that passes through an image at the origin:
  // the steps inside are found at once, and each point lies on the line.
  constexpr long long kFar = 1LL << 40;
  const raster::LineTrace t = raster::TraceOf(-kFar, -kFar / 3, kFar, kFar / 3 + 9);
  const raster::StepRange r = raster::StepsWithin(t, 0, t.major - 1, 0, 0, 799, 599);
  ASSERT_LE(r.from, r.to);
  EXPECT_EQ(r.to - r.from, 799);  // every column, and the rows there are within the image
  for (long long k : {r.from, (r.from + r.to) / 2, r.to}) {
    const raster::TracePoint p = raster::PointAt(t, k);
    EXPECT_GE(p.x, 0);
    EXPECT_LE(p.x, 799);
    EXPECT_GE(p.y, 0);
    EXPECT_LE(p.y, 599);
    // Within half a pixel of the true line y = (x + kFar) * slope - kFar / 3.
    const long double slope = static_cast<long double>(2 * (kFar / 3) + 9) / (2 * kFar);
    EXPECT_NEAR(static_cast<double>(p.y), static_cast<double>((p.x + kFar) * slope - kFar / 3), 0.5 + 1e-6);
  }
  // One that misses the image finds nothing.
  const raster::LineTrace miss = raster::TraceOf(-kFar, kFar, kFar, kFar - 5);
  const raster::StepRange none = raster::StepsWithin(miss, 0, miss.major - 1, 0, 0, 799, 599);
  EXPECT_GT(none.from, none.to);
}
