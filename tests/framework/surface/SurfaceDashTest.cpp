// Dash patterns of thin pens on connected lines: plotted and through Qt,
// they run on from one LineTo into the next and start afresh at a move, a
// pen, the origin and an erase.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QSvgGenerator>
#include <functional>
#include <string>

#include "framework/gdi/TPen.h"
#include "tests/framework/surface/SurfaceRasterFixture.h"

namespace {

// Row `y` of an image from column `from` up to `to`, as # (lit) and . .
std::string rowOf(const QImage& img, int y, int from, int to) {
  std::string s;
  for (int x = from; x < to; ++x) s += Rgb(img, x, y) ? '#' : '.';
  return s;
}

std::string dots(int length, int skip = 0) {
  std::string s;
  for (int i = skip; i < skip + length; ++i) s += i % 6 < 3 ? '#' : '.';
  return s;
}

// Dotted white lines at row 5 of a 60 x 10 image of `format`: from 10 to
// 14, then what `between` does, then on to 44; returns columns 10 to 43.
std::string dotted(QImage::Format format, const std::function<void(TDC&)>& between) {
  EnsureGuiApp();
  QImage img(60, 10, format);
  img.fill(Qt::black);
  {
    RasterSurface surface(&img);
    TClientDC dc(surface);
    dc.SelectObject(TPen(TColor(255, 255, 255), 1, PS_DOT));
    dc.MoveToEx(10, 5);
    dc.LineTo(14, 5);
    between(dc);
    dc.LineTo(44, 5);
    surface.End();
  }
  return rowOf(img, 5, 10, 44);
}

}  // namespace

TEST(SurfaceDash, PatternRunsOnOrStartsAfresh) {
  const std::string on = dots(34), afresh = dots(4) + dots(30);
  struct Case {
    const char* what;
    std::function<void(TDC&)> between;
    const std::string& want;
  } cases[] = {
      {"nothing", [](TDC&) {}, on},
      {"a text", [](TDC& dc) { dc.TextOutA(50, 0, "x", 1); }, on},
      {"an arc", [](TDC& dc) { dc.Arc(50, 0, 56, 6, 56, 3, 50, 3); }, on},
      {"a move", [](TDC& dc) { dc.MoveToEx(14, 5); }, afresh},
      {"a pen", [](TDC& dc) { dc.SelectObject(TPen(TColor(255, 255, 255), 1, PS_DOT)); }, afresh},
      {"the origin", [](TDC& dc) { dc.SetViewportOrgEx(0, 0); }, afresh},
      {"an erase", [](TDC& dc) { dc.EraseBkgnd(50, 0, 1, 1, TColor(0, 0, 0)); }, afresh},
  };
  // Plotted on a 32-bit image, and through Qt on a 16-bit one.
  for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB16})
    for (const Case& c : cases)
      EXPECT_EQ(dotted(format, c.between), c.want) << c.what << " in format " << format;
}

TEST(SurfaceDash, VectorLinesCarryTheOffsetWhereThePatternStands) {
  // On an SVG, the second of two connected dashed lines starts 10 pixels
  // into the pattern: its dash offset says so; after a move it is 0 again.
  EnsureGuiApp();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(100, 100));
  {
    RasterSurface surface(&svg);
    TClientDC dc(surface);
    dc.SelectObject(TPen(TColor(255, 0, 0), 1, PS_DASH));
    dc.MoveToEx(10, 10);
    dc.LineTo(16, 18);  // 10 long
    dc.LineTo(90, 18);
    dc.MoveToEx(10, 50);
    dc.LineTo(90, 50);
    surface.End();
  }
  const QByteArray out = buffer.data();
  EXPECT_EQ(out.count("stroke-dashoffset=\"10\""), 1) << out.toStdString();
}
