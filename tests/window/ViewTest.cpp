// The view: points go to the client area and back unchanged, zooming about
// a point keeps it in place, the levels keep 1 and 2 exact, fitting an
// extent shows all of it, and the label reads item coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "window/ItemExtent.h"
#include "window/View.h"

namespace {

TEST(View, ZoomLevelsArePowersOfTheRootOfTwoWithOneAndTwoExact) {
  View v;
  EXPECT_TRUE(v.IsIdentity());
  EXPECT_EQ(v.Zoom(), 1.0);
  EXPECT_TRUE(v.ZoomAbout(2, 0, 0, 100));
  EXPECT_EQ(v.Zoom(), 2.0);
  EXPECT_TRUE(v.ZoomAbout(-1, 0, 0, 100));
  EXPECT_DOUBLE_EQ(v.Zoom(), std::sqrt(2.0));
  EXPECT_TRUE(v.ZoomAbout(-100, 0, 0, 100));
  EXPECT_EQ(v.Zoom(), 1.0 / 16) << "clamped at the least zoom";
  EXPECT_FALSE(v.ZoomAbout(-1, 0, 0, 100)) << "no level below";
  EXPECT_TRUE(v.ZoomAbout(100, 0, 0, 100));
  EXPECT_EQ(v.Zoom(), 64.0) << "clamped at the greatest zoom";
}

TEST(View, APointGoesToTheClientAreaAndBack) {
  View v;
  v.ZoomAbout(3, 123, 45, 300);
  v.Pan(-17.5, 33);
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, std::pair{-500.0, 2e9}, std::pair{2147483647.0, -2147483648.0}}) {
    const double c = v.ClientX(x), r = v.ClientY(y, 300);
    EXPECT_NEAR(v.ItemX(c), x, 1e-6 * std::max(1.0, std::abs(x)));
    EXPECT_NEAR(v.ItemY(r, 300), y, 1e-6 * std::max(1.0, std::abs(y)));
  }
}

TEST(View, ZoomingAboutAPointKeepsThatPointInPlace) {
  View v;
  v.Pan(40, -25);
  for (int step : {1, 1, 3, -2, -5, 4}) {
    const double x = v.ItemX(210), y = v.ItemY(90, 400);
    v.ZoomAbout(step, 210, 90, 400);
    EXPECT_NEAR(v.ClientX(x), 210, 1e-9) << step;
    EXPECT_NEAR(v.ClientY(y, 400), 90, 1e-9) << step;
  }
}

TEST(View, AtOneToOneTheLabelReadsTheColumnAndTheHeightLessTheRow) {
  View v;
  EXPECT_EQ(CoordinateLabel(v, 0, 99, 100), "(0, 1)") << "a line at y = 1 lies on the bottom row";
  EXPECT_EQ(CoordinateLabel(v, 37, 0, 100), "(37, 100)");
  EXPECT_EQ(CoordinateLabel(v, 5, 60, 100), "(5, 40)");
  // A resize moves the origin and keeps what the bottom rows read.
  EXPECT_EQ(CoordinateLabel(v, 5, 160, 200), "(5, 40)");
}

TEST(View, ZoomedTheLabelIsTheInverseOfTheViewRoundedAsAtOneToOne) {
  View v;
  v.ZoomAbout(2, 0, 100, 100);  // zoom 2 about the bottom-left corner
  EXPECT_EQ(CoordinateLabel(v, 20, 60, 100), "(10, 20)");
  EXPECT_EQ(CoordinateLabel(v, 21, 61, 100), "(10, 20)") << "one item pixel covers 2 x 2";
  EXPECT_EQ(CoordinateLabel(v, 22, 59, 100), "(11, 21)");
  v.Pan(-50, 30);
  EXPECT_EQ(CoordinateLabel(v, 20, 60, 100), "(35, 35)");
}

TEST(View, FittingShowsAllOfAnExtentCentred) {
  ItemExtent e;
  e.Add(-500, -500);
  e.Add(300, 100);
  View v;
  v.Fit(e, 400, 300);
  EXPECT_EQ(v.Zoom(), 0.25 * std::sqrt(2.0)) << "the largest level at which 801 x 601 fits 400 x 300";
  for (const auto& [x, y] : {std::pair{-500.0, -500.0}, std::pair{300.0, 100.0}}) {
    EXPECT_GE(v.ClientX(x), 0);
    EXPECT_LE(v.ClientX(x), 400);
    EXPECT_GE(v.ClientY(y, 300), 0);
    EXPECT_LE(v.ClientY(y, 300), 300);
  }
  View unchanged;
  unchanged.Fit(ItemExtent{}, 400, 300);
  EXPECT_TRUE(unchanged.IsIdentity()) << "an empty list leaves the view";
}

}  // namespace
