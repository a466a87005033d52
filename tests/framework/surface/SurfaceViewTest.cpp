// The raster surface's view: zoom about the viewport origin, then a pan.
// A point (x, y) is drawn at logical (orgX + panX + zoom x, orgY - panY +
// zoom y); pens, dashes, curves and text scale; 1:1 is the picture without
// a view; far coordinates at any zoom draw their visible part and return.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"
#include "tests/framework/surface/SurfaceRasterFixture.h"

namespace {

struct View {
  double zoom, panX, panY;
};

// A w x h logical picture at `ratio`, origin at the bottom-left corner,
// drawn under `view` (none when null).
QImage viewed(int w, int h, int ratio, const View* view, const std::function<void(TDC&)>& draw) {
  EnsureGuiApp();
  QImage img = BlackImage(w * ratio, h * ratio);
  img.setDevicePixelRatio(ratio);
  RasterSurface surface(&img);
  if (view) surface.SetView(view->zoom, view->panX, view->panY);
  {
    TClientDC dc(surface);
    dc.SetViewportOrgEx(0, h);
    dc.SetBkMode(TRANSPARENT);
    draw(dc);
  }
  surface.End();
  return img;
}

// Every kind of drawing: thin, dashed and wide lines, circles, arcs, text.
void everything(TDC& dc) {
  dc.SelectObject(TPen(TColor(255, 255, 255), 1));
  dc.MoveToEx(5, -5);
  dc.LineTo(150, -90);
  dc.LineTo(-20, -40);
  dc.Arc(20, -80, 80, -20, 80, -50, 80, -50);
  dc.SelectObject(TPen(TColor(0, 255, 0), 1, PS_DASHDOT));
  dc.MoveToEx(0, -60);
  dc.LineTo(119, -61);
  dc.Arc(30, -70, 70, -30, 70, -50, 50, -70);
  dc.SelectObject(TPen(TColor(255, 0, 0), 5));
  dc.MoveToEx(10, -10);
  dc.LineTo(100, -30);
  dc.Arc(40, -60, 60, -40, 60, -50, 60, -50);
  dc.SelectObject(TFont("Arial", 20));
  dc.SetTextColor(TColor(255, 255, 0));
  dc.TextOutA(12, -95, "Zoom 1:1", 8);
  dc.SelectObject(TFont("Arial", 90));
  dc.TextOutA(40, -90, "Wg", 2);
}

// Logical rows (of ratio 1 or 2 pictures) where column `x` is lit.
std::vector<int> litRows(const QImage& img, int x) {
  const int r = static_cast<int>(img.devicePixelRatio());
  std::vector<int> rows;
  for (int y = 0; y < img.height(); ++y)
    if (Rgb(img, x * r, y) != kBlack) rows.push_back(y);
  return rows;
}

}  // namespace

TEST(SurfaceView, OneToOneIsThePictureWithoutAView) {
  for (int ratio : {1, 2}) {
    const View one{1, 0, 0};
    const QImage plain = viewed(120, 100, ratio, nullptr, everything);
    EXPECT_EQ(viewed(120, 100, ratio, &one, everything), plain) << "ratio " << ratio;
    // Back to 1:1 after a zoom: no state of the zoom stays behind.
    EnsureGuiApp();
    QImage img = BlackImage(120 * ratio, 100 * ratio);
    img.setDevicePixelRatio(ratio);
    RasterSurface surface(&img);
    {
      TClientDC dc(surface);
      surface.SetView(2, 7, -3);
      dc.SetViewportOrgEx(0, 100);
      dc.SetBkMode(TRANSPARENT);
      everything(dc);
      img.fill(Qt::black);
      surface.SetView(1, 0, 0);
      dc.SetViewportOrgEx(0, 100);
      everything(dc);
    }
    surface.End();
    EXPECT_EQ(img, plain) << "ratio " << ratio;
  }
}

TEST(SurfaceView, ZoomAboutAPointKeepsItAndScalesEverythingElse) {
  // A horizontal item line at y = 20 (surface y -20) from x = 20 to 50, at
  // zoom 2 about item point (30, 20): pan (-30, -20) keeps that point
  // where it was (logical 30, 80), and the line, twice as long, now covers
  // logical rows 80 and 81 from column 10 to 69.
  for (int ratio : {1, 2}) {
    const View about{2, -30, -20};
    const QImage img = viewed(120, 100, ratio, &about, [](TDC& dc) {
      dc.SelectObject(TPen(TColor(255, 255, 255), 1));
      dc.MoveToEx(20, -20);
      dc.LineTo(50, -20);
    });
    const Lit b = lit(img);
    EXPECT_EQ(b.y0, 80 * ratio) << "ratio " << ratio;
    EXPECT_EQ(b.y1, 82 * ratio - 1) << "ratio " << ratio;
    EXPECT_EQ(b.x0, 10 * ratio) << "ratio " << ratio;
    EXPECT_EQ(b.x1, 70 * ratio - 1) << "ratio " << ratio;
    EXPECT_EQ(b.count, 60 * 2 * ratio * ratio) << "ratio " << ratio;
  }
}

TEST(SurfaceView, PensDashesCurvesAndTextScale) {
  const View two{2, 0, 0};
  // A dotted line: dots and gaps of 6 at zoom 2.
  const auto dotted = [](TDC& dc) {
    dc.SelectObject(TPen(TColor(255, 255, 255), 0, PS_DOT));
    dc.MoveToEx(0, -10);
    dc.LineTo(30, -10);
  };
  const QImage dots = viewed(80, 40, 1, &two, dotted);
  for (int x = 0; x < 60; ++x) EXPECT_EQ(Rgb(dots, x, 20) != kBlack, x % 12 < 6) << x;
  // A wide pen twice as wide, a circle twice the radius, text twice as tall.
  const auto shapes = [](TDC& dc) {
    dc.SelectObject(TPen(TColor(255, 255, 255), 3));
    dc.MoveToEx(5, -5);
    dc.LineTo(25, -5);
    dc.SelectObject(TPen(TColor(255, 255, 255), 1));
    dc.Arc(40, -50, 60, -30, 60, -40, 60, -40);
    dc.SelectObject(TFont("Arial", 16));
    dc.SetTextColor(TColor(255, 255, 255));
    dc.TextOutA(70, -50, "H", 1);
  };
  const QImage one = viewed(200, 120, 1, nullptr, shapes), zoomed = viewed(200, 120, 1, &two, shapes);
  EXPECT_EQ(litRows(one, 15).size(), 3u);
  EXPECT_EQ(litRows(zoomed, 30).size(), 6u);
  const std::vector<int> ring = litRows(zoomed, 100);  // through the centre of the circle (100, 40)
  ASSERT_FALSE(ring.empty());
  EXPECT_EQ(ring.front(), 20);
  EXPECT_EQ(ring.back(), 61);  // radius 20, two pixels across
  auto inkHeight = [](const QImage& img, int x0, int x1) {
    int top = INT_MAX, bottom = INT_MIN;
    for (int y = 0; y < img.height(); ++y)
      for (int x = x0; x < x1; ++x)
        if (Rgb(img, x, y) != kBlack) top = std::min(top, y), bottom = std::max(bottom, y);
    return bottom - top + 1;
  };
  const int h1 = inkHeight(one, 70, 90), h2 = inkHeight(zoomed, 140, 180);
  EXPECT_GT(h1, 8);
  EXPECT_NEAR(h2, 2 * h1, 2);
}

TEST(SurfaceView, EraseStaysInTheTargetsPixels) {
  const View far{4, 300, -200};
  const QImage img = viewed(40, 30, 2, &far, [](TDC& dc) { dc.EraseBkgnd(5, 6, 10, 4, TColor(0, 0, 255)); });
  const Lit b = lit(img);
  EXPECT_EQ(b.x0, 10);
  EXPECT_EQ(b.y0, 12);
  EXPECT_EQ(b.count, 20 * 8);
}

TEST(SurfaceView, FarCoordinatesAtEveryZoomDrawTheirVisiblePart) {
  // Items at the ends of the 32-bit range, at zooms 64, sqrt 2 and 1/16, at
  // ratios 1 and 2: nothing overflows or freezes, and the lines through
  // the picture still cross it.
  const int big = INT_MAX, small = INT_MIN;
  for (double zoom : {64.0, std::sqrt(2.0), 1.0 / 16})
    for (int ratio : {1, 2}) {
      const View view{zoom, 0, 0};
      const QImage img = viewed(100, 80, ratio, &view, [&](TDC& dc) {
        for (int width : {0, 1, 3}) {
          for (int style : {PS_SOLID, PS_DASH}) {
            dc.SelectObject(TPen(TColor(255, 255, 255), width, style));
            dc.MoveToEx(small, small);
            dc.LineTo(big, big);
            dc.MoveToEx(small, -1);
            dc.LineTo(big, -1);
            dc.Arc(small, small, big, big, big, 0, big, 0);
            dc.Arc(-big, -big, big, big, big, small, small, 0);
            dc.Arc(big - 20, big - 20, big, big, big, big, big, big);
          }
        }
        dc.SelectObject(TFont("Arial", big));
        dc.SetTextColor(TColor(255, 255, 255));
        dc.TextOutA(0, -1, "Far", 3);
        dc.TextOutA(small, small, "Far", 3);
        dc.SelectObject(TFont("Arial", 400));
        dc.TextOutA(0, -1, "Huge", 4);
      });
      // The line at surface y -1 lies at logical row 80 - zoom.
      const int row = static_cast<int>(std::floor((80 - zoom) * ratio));
      EXPECT_NE(Rgb(img, 10 * ratio, row), kBlack) << "zoom " << zoom << " ratio " << ratio;
    }
}
