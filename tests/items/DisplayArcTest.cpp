// Arc and circle arguments, including values where x - r, -y, x + r*cos
// and the like leave the 32-bit range: they are computed in 64 bits or
// double and saturated, never overflowed.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <utility>

#include "items/ItemDisplay.h"

namespace {

TEST(DisplayArc, CircleArguments) {
  struct Case {
    int x, y, r;
    ArcArgs want;
  } cases[] = {
      {100, 100, 50, {50, -150, 150, -50, 50, -100, 50, -100}},
      {0, 0, -5, {5, 5, -5, -5, 5, 0, 5, 0}},
      {INT_MAX, INT_MIN, INT_MAX, {0, 1, INT_MAX, INT_MAX, 0, INT_MAX, 0, INT_MAX}},
      {0, 0, INT_MIN, {INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, 0, INT_MAX, 0}},
      {INT_MIN, INT_MAX, INT_MAX, {INT_MIN, INT_MIN, -1, 0, INT_MIN, -INT_MAX, INT_MIN, -INT_MAX}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(circleArcArgs(c.x, c.y, c.r), c.want) << c.x << ' ' << c.y << ' ' << c.r;
}

TEST(DisplayArc, ArcArguments) {
  struct Case {
    int x, y, r, a, b;
    ArcArgs want;
  } cases[] = {
      // cos of the single-precision right angle is just below 0: 99, not 100.
      {100, 100, 100, 0, 90, {0, 0, 200, -200, 200, -100, 99, 0}},
      {100, 100, 100, 90, 0, {0, 0, 200, -200, 99, 0, 200, -100}},
      {-5, 7, 1000000, 30, -30, {-1000005, 999993, 999995, -1000007, 866020, 499993, 866020, -500007}},
      {INT_MAX, INT_MIN, INT_MAX, 0, 180, {0, INT_MAX, INT_MAX, 1, INT_MAX, INT_MAX, 0, 2147483460}},
      {0,
       0,
       INT_MIN,
       INT_MAX,
       INT_MIN,
       {INT_MAX, INT_MIN, INT_MIN, INT_MAX, 782338560, -1999908096, 782338560, 1999908096}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(arcArcArgs(c.x, c.y, c.r, c.a, c.b), c.want) << c.x << ' ' << c.y << ' ' << c.r;
}

// The ray points come from a table for angles within a turn each way and
// from the functions beyond: both give what the functions give, at the
// table's edges too, for radii small and large.
TEST(DisplayArc, RayPointsAreTheSameFromTheTableAndBeyondIt) {
  const auto direct = [](int x, int y, int r, int degrees) {
    const double a = static_cast<float>(static_cast<double>(degrees) * M_PI * (1.0 / 180.0));
    return std::pair{truncateInt(x + static_cast<double>(r) * std::cos(a)),
                     truncateInt(-static_cast<double>(y) + static_cast<double>(r) * std::sin(a))};
  };
  for (const int r : {1, 7, 1000, 123456789, INT_MAX})
    for (int d = -800; d <= 800; ++d) {
      const ArcArgs got = arcArcArgs(3, -5, r, d, d + 1);
      ASSERT_EQ(std::pair(got.xStart, got.yStart), direct(3, -5, r, d)) << r << " " << d;
      ASSERT_EQ(std::pair(got.xEnd, got.yEnd), direct(3, -5, r, d + 1)) << r << " " << d + 1;
    }
}

TEST(DisplayArc, SaturationAndTruncation) {
  EXPECT_EQ(saturateInt(std::int64_t{INT_MAX} + 1), INT_MAX);
  EXPECT_EQ(saturateInt(std::int64_t{INT_MIN} - 1), INT_MIN);
  EXPECT_EQ(saturateInt(-5), -5);
  EXPECT_EQ(truncateInt(-0.9), 0);
  EXPECT_EQ(truncateInt(99.99), 99);
  EXPECT_EQ(truncateInt(-29.3), -29);
  EXPECT_EQ(truncateInt(3e9), INT_MAX);
  EXPECT_EQ(truncateInt(-3e9), INT_MIN);
}

}  // namespace
