// The sight of the raster surface: lines, arcs and texts placed just
// outside it draw nothing, in every pen, font, alignment and view, also
// texts of the widest characters and tabs; and it is refused where calls
// must all be made.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QSvgGenerator>
#include <sstream>
#include <string>

#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"
#include "framework/surface/RecordingSurface.h"
#include "tests/framework/surface/SurfaceRasterFixture.h"

namespace {

constexpr int kW = 100, kH = 60;

struct View {
  double zoom, panX, panY;
};
const View kViews[] = {{1, 0, 0}, {2, 10, -5}, {0.5, -3.5, 7.25}};

TEST_F(SurfaceRaster, TextsJustOutOfSightDrawNothing) {
  const std::string texts[] = {"W",
                               "WWWWWWWW",
                               "\t\t\t",
                               "a\tb",
                               "\xEF\xB7\xBD\xEF\xB7\xBD" /* two U+FDFD */,
                               "\xF0\x92\x90\xAB" /* U+1242B */,
                               "\xC6\xC6\xC6" /* not UTF-8: cp1252 */};
  for (const View& v : kViews)
    for (int height : {1, 12, 60})
      for (unsigned align : {TA_LEFT, TA_CENTER, TA_RIGHT})
        for (const std::string& t : texts) {
          QImage& img = newImage(kW, kH);
          TDC& d = start(img);
          surface->SetView(v.zoom, v.panX, v.panY);
          d.SelectObject(TFont(nullptr, height));
          d.SetTextColor(TColor(255, 255, 255));
          d.SetTextAlign(align);  // opaque: the cell is filled too
          CallSight sight;
          ASSERT_TRUE(surface->Sight(sight));
          const CallSight::Bounds& b = sight.TextsOf(static_cast<long long>(t.size()));
          const int count = static_cast<int>(t.size());
          d.TextOutA(b.left - 1, -kH / 2, t.c_str(), count);
          d.TextOutA(b.right + 1, -kH / 2, t.c_str(), count);
          d.TextOutA(kW / 2, b.top - 1, t.c_str(), count);
          d.TextOutA(kW / 2, b.bottom + 1, t.c_str(), count);
          surface->Suspend();
          EXPECT_EQ(lit(img).count, 0) << "zoom " << v.zoom << ", height " << height << ", align " << align
                                       << ", text of " << count << " bytes";
          finish();
        }
}

TEST_F(SurfaceRaster, ShapesJustOutOfSightDrawNothing) {
  for (const View& v : kViews)
    for (int width : {1, 7, 40}) {
      QImage& img = newImage(kW, kH);
      TDC& d = start(img);
      surface->SetView(v.zoom, v.panX, v.panY);
      d.SelectObject(TPen(TColor(255, 255, 255), width));
      CallSight sight;
      ASSERT_TRUE(surface->Sight(sight));
      const CallSight::Bounds& b = sight.shapes;
      // Lines along each side, and one running away from it.
      d.MoveToEx(b.left - 1, b.top);
      d.LineTo(b.left - 1, b.bottom);
      d.LineTo(b.left - 500, b.bottom + 3);
      d.MoveToEx(b.right + 1, b.top);
      d.LineTo(b.right + 1, b.bottom);
      d.MoveToEx(b.left, b.top - 1);
      d.LineTo(b.right, b.top - 1);
      d.MoveToEx(b.left, b.bottom + 1);
      d.LineTo(b.right, b.bottom + 1);
      // Circles and arcs whose rectangles touch each side from outside.
      d.Arc(b.left - 41, -40, b.left - 1, 0, b.left - 41, -20, b.left - 41, -20);
      d.Arc(b.right + 1, -40, b.right + 41, 0, b.right + 41, -20, b.right + 1, -10);
      d.Arc(20, b.top - 41, 60, b.top - 1, 20, b.top - 21, 20, b.top - 21);
      d.Arc(20, b.bottom + 1, 60, b.bottom + 41, 60, b.bottom + 21, 20, b.bottom + 1);
      surface->Suspend();
      EXPECT_EQ(lit(img).count, 0) << "zoom " << v.zoom << ", width " << width;
      finish();
    }
}

TEST_F(SurfaceRaster, SightIsRefusedWhereEveryCallMustBeMade) {
  CallSight sight;
  QImage& img = newImage(kW, kH);
  TDC& d = start(img);
  EXPECT_TRUE(surface->Sight(sight));
  d.SelectObject(TPen(TColor(255, 255, 255), 1, PS_DASH));  // its pattern runs on out of sight
  EXPECT_FALSE(surface->Sight(sight));
  finish();

  QBuffer svg;
  QSvgGenerator generator;
  generator.setOutputDevice(&svg);
  generator.setSize(QSize(kW, kH));
  RasterSurface vector(&generator);
  EXPECT_FALSE(vector.Sight(sight));
  vector.End();
  RasterSurface none;
  EXPECT_FALSE(none.Sight(sight));

  std::ostringstream trace;
  RecordingSurface recording(trace);
  EXPECT_FALSE(recording.Sight(sight));
}

}  // namespace
