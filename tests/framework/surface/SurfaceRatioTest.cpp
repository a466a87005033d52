// The raster surface on images of device pixel ratio above 1: one unit stays
// one logical pixel (r x r device pixels), lines and erasing land on the
// device pixels of the logical ones they cover at ratio 1, in full colour,
// while curves and text are drawn at the device's own resolution.
#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "framework/gdi/TClientDC.h"
#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"
#include "framework/surface/RasterSurface.h"
#include "tests/framework/gdi/GdiProbe.h"
#include "tests/framework/surface/SurfaceTestApp.h"

namespace {

constexpr unsigned kWhite = 0xFFFFFF, kBlack = 0;

// A black image of w x h logical pixels at ratio r.
QImage RatioImage(int w, int h, double r) {
  QImage img = BlackImage(static_cast<int>(std::lround(w * r)), static_cast<int>(std::lround(h * r)));
  img.setDevicePixelRatio(r);
  return img;
}

using Pixels = std::set<std::pair<int, int>>;  // (x, y) device pixels that are not black

Pixels litPixels(const QImage& img) {
  Pixels p;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (Rgb(img, x, y) != kBlack) p.emplace(x, y);
  return p;
}

// Pixels of `a` with no pixel of `b` within one device pixel, leaving out
// those within `skip` device pixels of a point in `ends`.
int strays(const Pixels& a, const Pixels& b, const std::vector<QPoint>& ends = {}, int skip = 0) {
  int n = 0;
  for (auto [x, y] : a) {
    bool atEnd = false;
    for (const QPoint& e : ends) atEnd |= std::abs(x - e.x()) <= skip && std::abs(y - e.y()) <= skip;
    if (atEnd) continue;
    bool near = false;
    for (int dy = -1; dy <= 1 && !near; ++dy)
      for (int dx = -1; dx <= 1 && !near; ++dx) near = b.count({x + dx, y + dy}) > 0;
    n += !near;
  }
  return n;
}

// Draws with a fresh surface (no viewport origin) on `img`.
template <typename Draw>
void paint(QImage& img, Draw draw) {
  RasterSurface surface(&img);
  {
    TClientDC dc(surface);
    draw(dc);
  }
  surface.End();
}

class SurfaceRatio : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiApp(); }
  void TearDown() override { EXPECT_EQ(GdiProbe::LiveCount(), 0u); }
};

}  // namespace

TEST_F(SurfaceRatio, ThinLinesCoverWholeLogicalPixels) {
  // A horizontal line at logical row 10 from x 5 up to 30, and a vertical
  // one at column 35 from y 2 up to 12: plotted directly when inside the
  // image; through Qt when dashed or when they leave the image. Either way
  // exactly the device pixels of the logical ones, in full colour.
  struct Case {
    int ratio;
    int style;
    bool leaves;
  } cases[] = {{2, PS_SOLID, false}, {2, PS_SOLID, true},  {3, PS_SOLID, false},
               {3, PS_SOLID, true},  {4, PS_SOLID, false}, {2, PS_DOT, false}};
  for (const Case& c : cases) {
    const int r = c.ratio;
    SCOPED_TRACE(testing::Message() << "ratio " << r << " style " << c.style << " leaves " << c.leaves);
    QImage img = RatioImage(40, 20, r);
    paint(img, [&](TDC& dc) {
      dc.SelectObject(TPen(TColor(255, 255, 255), 1, c.style));
      dc.MoveToEx(5, 10);
      dc.LineTo(c.leaves ? 1000 : 30, 10);
      dc.MoveToEx(35, 2);
      dc.LineTo(35, c.leaves ? 1000 : 12);
    });
    const int xEnd = c.leaves ? 40 : 30;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const int lx = x / r, ly = y / r;
        bool on = (ly == 10 && lx >= 5 && lx < xEnd) || (lx == 35 && ly >= 2 && (c.leaves || ly < 12));
        if (c.style == PS_DOT && ly == 10) on = on && (lx - 5) % 6 < 3;  // dots of 3 logical pixels
        if (c.style == PS_DOT && lx == 35) on = on && (ly - 2) % 6 < 3;
        ASSERT_EQ(Rgb(img, x, y), on ? kWhite : kBlack) << "device " << x << "," << y;
      }
  }
}

TEST_F(SurfaceRatio, WideLinesCoverTheLogicalRowsOfRatioOne) {
  // At ratio 1 a horizontal line of width w at row 20 covers rows 20 - w/2
  // (rounded up) on; at ratio 2 the same logical rows, two device rows each.
  for (int width : {2, 3, 4, 5}) {
    QImage one = RatioImage(60, 40, 1), two = RatioImage(60, 40, 2);
    for (QImage* img : {&one, &two})
      paint(*img, [&](TDC& dc) {
        dc.SelectObject(TPen(TColor(255, 255, 255), width));
        dc.MoveToEx(20, 20);
        dc.LineTo(40, 20);
      });
    std::set<int> rowsOne, rowsTwo;
    for (auto [x, y] : litPixels(one)) rowsOne.insert(y);
    for (auto [x, y] : litPixels(two)) rowsTwo.insert(y);
    std::set<int> doubled;
    for (int y : rowsOne) doubled.insert({2 * y, 2 * y + 1});
    EXPECT_EQ(rowsTwo, doubled) << "width " << width;
    EXPECT_EQ(static_cast<int>(rowsOne.size()), width) << "width " << width;
  }
}

TEST_F(SurfaceRatio, DirectLinesAndCirclesAgreeWithQt) {
  // The direct plotter traces at device resolution with a block of one
  // logical pixel; Qt draws a one-unit pen moved onto the pixel centres.
  // Both must light the same device pixels, give or take one at the edges;
  // at the end points Qt leaves out the pixel with the larger coordinate
  // where the plotter leaves out the end, a known difference.
  constexpr int r = 2;
  struct Shape {
    bool circle;
    int a, b, c, d;  // line ends, or centre and radius
  } shapes[] = {{false, 3, 4, 37, 17},
                {false, 36, 2, 4, 30},
                {false, 10, 30, 12, 3},
                {true, 20, 20, 12, 0},
                {true, 15, 18, 3, 0}};
  for (const Shape& s : shapes) {
    SCOPED_TRACE(testing::Message() << (s.circle ? "circle " : "line ") << s.a << "," << s.b);
    QImage direct = RatioImage(40, 40, r);
    paint(direct, [&](TDC& dc) {
      dc.SelectObject(TPen(TColor(255, 255, 255), 1));
      if (s.circle) {
        dc.Arc(s.a - s.c, s.b - s.c, s.a + s.c, s.b + s.c, s.a + s.c, s.b, s.a + s.c, s.b);
      } else {
        dc.MoveToEx(s.a, s.b);
        dc.LineTo(s.c, s.d);
      }
    });
    QImage qt = RatioImage(40, 40, r);
    {
      QPainter p(&qt);
      QPen pen(Qt::white, 1);
      pen.setCapStyle(Qt::FlatCap);
      p.setPen(pen);
      if (s.circle) {
        p.drawEllipse(QRectF(s.a - s.c + 0.5, s.b - s.c + 0.5, 2.0 * s.c, 2.0 * s.c));
      } else {
        const bool alongX = std::abs(s.c - s.a) >= std::abs(s.d - s.b);
        const QPointF shift(alongX ? 0 : 0.5, alongX ? 0.5 : 0);
        p.drawLine(QPointF(s.a, s.b) + shift, QPointF(s.c, s.d) + shift);
      }
    }
    const Pixels d = litPixels(direct), q = litPixels(qt);
    EXPECT_GT(d.size(), 0u);
    std::vector<QPoint> ends;
    if (!s.circle) ends = {QPoint(r * s.a, r * s.b), QPoint(r * s.c, r * s.d)};
    EXPECT_EQ(strays(d, q, ends, 2 * r), 0);
    EXPECT_EQ(strays(q, d, ends, 2 * r), 0);
    for (const auto& [x, y] : d) ASSERT_EQ(Rgb(direct, x, y), kWhite) << "full colour";
    if (s.circle) {
      // At device resolution: on the ring of radius r*R around the centre
      // of the logical centre pixel, not a doubled logical plot.
      const double cx = r * s.a + r / 2.0, cy = r * s.b + r / 2.0;
      for (const auto& [x, y] : d)
        EXPECT_LE(std::abs(std::hypot(x + 0.5 - cx, y + 0.5 - cy) - r * s.c), 1.5) << x << "," << y;
      bool notDoubled = false;
      for (const auto& [x, y] : d) notDoubled |= !d.count({x ^ 1, y}) || !d.count({x, y ^ 1});
      EXPECT_TRUE(notDoubled);
    }
  }
}

TEST_F(SurfaceRatio, CirclesLeavingTheImageAreClipped) {
  // A circle that reaches past every edge draws the part inside only.
  QImage img = RatioImage(20, 20, 3);
  paint(img, [](TDC& dc) {
    dc.SelectObject(TPen(TColor(0, 255, 0), 0));
    dc.Arc(-2, -2, 22, 22, 22, 10, 22, 10);  // centre (10, 10), radius 12
  });
  const Pixels d = litPixels(img);
  EXPECT_GT(d.size(), 150u);
  bool edges[4] = {};
  for (const auto& [x, y] : d) {
    EXPECT_LE(std::abs(std::hypot(x + 0.5 - 31.5, y + 0.5 - 31.5) - 36), 2.0) << x << "," << y;
    edges[0] |= x == 0, edges[1] |= y == 0, edges[2] |= x == 59, edges[3] |= y == 59;
  }
  for (bool e : edges) EXPECT_TRUE(e) << "drawn up to every edge";
}

TEST_F(SurfaceRatio, TextIsDrawnAtDeviceResolutionInItsLogicalPlace) {
  // The same text at ratios 1 and 2: the same logical box, and at ratio 2
  // glyph edges that do not come in pairs of device columns.
  auto draw = [](QImage& img) {
    paint(img, [](TDC& dc) {
      dc.SetBkMode(TRANSPARENT);
      dc.SelectObject(TFont("Arial", 24));
      dc.SetTextColor(TColor(255, 255, 255));
      dc.TextOutA(10, 10, "Wavy sample", 11);
    });
  };
  QImage one = RatioImage(200, 50, 1), two = RatioImage(200, 50, 2);
  draw(one);
  draw(two);
  auto box = [](const Pixels& p, int r) {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    for (auto [x, y] : p) {
      x0 = std::min(x0, x / r), y0 = std::min(y0, y / r);
      x1 = std::max(x1, x / r), y1 = std::max(y1, y / r);
    }
    return std::array<int, 4>{x0, y0, x1, y1};
  };
  const auto b1 = box(litPixels(one), 1), b2 = box(litPixels(two), 2);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(b1[i], b2[i], 1) << i;
  EXPECT_GE(b2[1], 10);  // hangs below its point
  int differing = 0;
  for (int y = 0; y < two.height(); ++y)
    for (int x = 0; x + 1 < two.width(); x += 2) differing += Rgb(two, x, y) != Rgb(two, x + 1, y);
  EXPECT_GT(differing, 50) << "neighbouring device columns differ: not pixel-doubled";
}

TEST_F(SurfaceRatio, LaidOutTextsAreKeptPerRatio) {
  // One surface draws a text on a ratio-1 image, then on a ratio-2 one: the
  // second picture is what a fresh surface draws there, not the first
  // layout stretched.
  auto text = [](TDC& dc) {
    dc.SetBkMode(TRANSPARENT);
    dc.SelectObject(TFont("Arial", 20));
    dc.SetTextColor(TColor(255, 255, 255));
    dc.TextOutA(5, 5, "Kerning AV", 10);
  };
  QImage one = RatioImage(120, 40, 1), two = RatioImage(120, 40, 2), fresh = RatioImage(120, 40, 2);
  RasterSurface surface(&one);
  {
    TClientDC dc(surface);
    text(dc);
    surface.Retarget(&two);
    text(dc);
  }
  surface.End();
  paint(fresh, text);
  EXPECT_EQ(two, fresh);
}

TEST_F(SurfaceRatio, EraseAndTheOriginAreLogical) {
  QImage img = RatioImage(30, 20, 2);
  RasterSurface surface(&img);
  {
    TClientDC dc(surface);
    dc.EraseBkgnd(10, 5, 4, 3, TColor(0, 0, 255));
    dc.SetViewportOrgEx(0, 20);
    dc.SelectObject(TPen(TColor(255, 255, 255), 1));
    dc.MoveToEx(2, -1);  // the bottom logical row
    dc.LineTo(6, -1);
  }
  surface.End();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const int lx = x / 2, ly = y / 2;
      const unsigned want = lx >= 10 && lx < 14 && ly >= 5 && ly < 8 ? 0x0000FFu
                            : ly == 19 && lx >= 2 && lx < 6          ? kWhite
                                                                     : kBlack;
      ASSERT_EQ(Rgb(img, x, y), want) << x << "," << y;
    }
  // A rectangle past the logical size fills the whole image and no more.
  RasterSurface whole(&img);
  whole.EraseBkgnd(-5, -5, 100, 100, 0x00FF00);
  whole.End();
  EXPECT_EQ(litPixels(img).size(), 60u * 40u);
}

TEST_F(SurfaceRatio, FractionalRatiosDrawThroughQt) {
  // At ratio 1.5 a logical pixel spans one or two device pixels: a line at
  // logical row 20 lies within device rows 30 and 31, in full colour, and
  // reaches from its start to its end; a circle lies on its radius.
  QImage line = RatioImage(40, 40, 1.5), circle = RatioImage(40, 40, 1.5);
  paint(line, [](TDC& dc) {
    dc.SelectObject(TPen(TColor(255, 255, 255), 0));
    dc.MoveToEx(4, 20);
    dc.LineTo(36, 20);
  });
  std::set<int> columns;
  for (auto [x, y] : litPixels(line)) {
    EXPECT_EQ(Rgb(line, x, y), kWhite);
    EXPECT_TRUE(y == 30 || y == 31) << x << "," << y;
    EXPECT_TRUE(x >= 6 && x < 54) << x << "," << y;
    columns.insert(x);
  }
  for (int x = 6; x < 54; ++x) EXPECT_TRUE(columns.count(x)) << x;
  paint(circle, [](TDC& dc) {
    dc.SelectObject(TPen(TColor(255, 255, 255), 0));
    dc.Arc(5, 5, 35, 35, 35, 20, 35, 20);
  });
  const Pixels c = litPixels(circle);
  EXPECT_GT(c.size(), 150u);
  for (auto [x, y] : c)
    EXPECT_LE(std::abs(std::hypot(x + 0.5 - 30.75, y + 0.5 - 30.75) - 22.5), 1.5) << x << "," << y;
}
