// The raster surface's target: retargeting keeps the state, erasing fills a
// device rectangle, vector targets, and painting suspended and resumed,
// with the damage it reports and the lines it queues.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
#include <memory>
#include <random>
#include <vector>

#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"
#include "tests/framework/surface/RasterSurfaceProbe.h"
#include "tests/framework/surface/SurfaceRasterFixture.h"

namespace {

TEST_F(SurfaceRaster, RetargetKeepsPenFontOriginAndPosition) {
  QImage& first = newImage(100, 100);
  TDC& d = start(first);
  d.SelectObject(TPen(TColor(255, 0, 0), 3));
  d.SelectObject(TFont(nullptr, 16));
  d.SetTextColor(TColor(0, 255, 0));
  d.SetBkMode(TRANSPARENT);
  d.MoveToEx(10, -10);
  QImage& second = newImage(100, 60);
  surface->Retarget(&second);
  EXPECT_EQ(RasterSurfaceProbe::Target(*surface), &second);
  d.LineTo(50, -10);  // origin still (0, 100): device row 90 is off this image
  EXPECT_EQ(lit(second).count, 0);
  d.SetViewportOrgEx(0, 60);
  d.MoveToEx(10, -10);
  d.LineTo(50, -10);
  EXPECT_EQ(Rgb(second, 30, 50), kRed);
  EXPECT_EQ(Rgb(second, 30, 51), kRed);  // still 3 wide
  EXPECT_EQ(lit(first).count, 0);
  d.TextOutA(60, -30, "H", 1);
  bool green = false;
  for (int y = 30; y < 50; ++y)
    for (int x = 60; x < 80; ++x) green |= Rgb(second, x, y) >= 0x8000 && Rgb(second, x, y) <= 0xFF00;
  EXPECT_TRUE(green);
  EXPECT_EQ(RasterSurfaceProbe::BkMode(*surface), TRANSPARENT);
}

TEST_F(SurfaceRaster, EraseFillsADeviceRectangle) {
  QImage& img = newImage(50, 50);
  TDC& d = start(img);  // the origin does not move the rectangle
  d.EraseBkgnd(10, 10, 5, 5, TColor(0, 0, 255));
  EXPECT_EQ(Rgb(img, 10, 10), 0x0000FFu);
  EXPECT_EQ(Rgb(img, 14, 14), 0x0000FFu);
  EXPECT_EQ(Rgb(img, 15, 15), kBlack);
  EXPECT_EQ(lit(img).count, 25);
  d.EraseBkgnd(45, 45, 100, -3, TColor(0, 0, 255));
  EXPECT_EQ(lit(img).count, 25);
}

TEST(SurfaceRasterVector, DrawsOnAnSvgGenerator) {
  EnsureGuiApp();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(100, 100));
  {
    RasterSurface surface(&svg);
    TClientDC dc(surface);
    dc.SetViewportOrgEx(0, 100);
    dc.SelectObject(TPen(TColor(255, 0, 0), 1));
    dc.MoveToEx(10, -10);
    dc.LineTo(90, -10);
    dc.Arc(20, -80, 80, -20, 80, -50, 80, -50);  // whole circle, through Qt here
    dc.Arc(20, -80, 80, -20, 80, -50, 50, -80);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOutA(10, -90, "svg", 3);
    surface.End();
  }
  const QByteArray out = buffer.data();
  EXPECT_TRUE(out.contains("<svg"));
  EXPECT_TRUE(out.contains("#ff0000"));
  EXPECT_EQ(out.count("<polyline"), 1);  // the line
  EXPECT_EQ(out.count("<circle"), 1);    // the whole circle
  EXPECT_EQ(out.count("<path"), 1);      // the quarter arc
  EXPECT_TRUE(out.contains(">svg</text>"));
}

TEST_F(SurfaceRaster, DamageCoversEveryPixelDrawnAcrossSuspensions) {
  // Whatever the items, the damage a surface reports holds every pixel it
  // changed, also when painting was suspended between items.
  std::mt19937 rng(11);
  for (double ratio : {1.0, 2.0}) {
    for (int round = 0; round < 40; ++round) {
      QImage& img = newImage(static_cast<int>(120 * ratio), static_cast<int>(90 * ratio));
      img.setDevicePixelRatio(ratio);
      RasterSurface s(&img);
      s.TakeDamage();
      TPen pen(TColor(255, 255, 255), static_cast<int>(rng() % 3 == 0 ? rng() % 12 : 1));
      s.SelectObject(pen.GetHandle());
      TFont font("", 10 + static_cast<int>(rng() % 20));
      s.SelectObject(font.GetHandle());
      s.SetTextColor(0xFFFFFF);
      s.SetBkMode(TRANSPARENT);
      auto coord = [&](int span) { return static_cast<int>(rng() % (span + 80)) - 40; };
      switch (rng() % 4) {
        case 0:
          s.MoveToEx(coord(120), coord(90));
          s.LineTo(coord(120), coord(90));
          break;
        case 1: {
          const int x = coord(120), y = coord(90), r = 1 + static_cast<int>(rng() % 40);
          s.Arc(x - r, y - r, x + r, y + r, x + r, y, x + r, y);
          break;
        }
        case 2:
          s.TextOutA(coord(120), coord(90), "Wg", 2);
          break;
        default:
          s.EraseBkgnd(coord(120), coord(90), static_cast<int>(rng() % 50), 9, 0xFFFFFF);
          break;
      }
      if (rng() % 2) s.Suspend();
      const QRect damage = s.TakeDamage();
      s.SelectObject(GdiObjects::DefaultPen);
      s.SelectObject(GdiObjects::DefaultFont);
      s.End();
      const Lit b = lit(img);
      if (b.count == 0) continue;
      const QRect drawn(QPoint(static_cast<int>(b.x0 / ratio), static_cast<int>(b.y0 / ratio)),
                        QPoint(static_cast<int>(b.x1 / ratio), static_cast<int>(b.y1 / ratio)));
      EXPECT_TRUE(damage.contains(drawn))
          << "ratio " << ratio << " round " << round << ": damage " << damage.x() << "," << damage.y() << " "
          << damage.width() << "x" << damage.height() << " misses " << drawn.x() << "," << drawn.y() << " "
          << drawn.width() << "x" << drawn.height();
    }
  }
}

TEST_F(SurfaceRaster, ASuspendedSurfaceLetsAnotherPainterInAndDrawsOnAfter) {
  QImage& img = newImage(20, 20);
  RasterSurface s(&img);
  s.Suspend();
  EXPECT_FALSE(RasterSurfaceProbe::Painting(s));
  {
    QPainter other;
    EXPECT_TRUE(other.begin(&img));
  }
  s.EraseBkgnd(0, 0, 4, 4, 0x0000FF);
  EXPECT_TRUE(RasterSurfaceProbe::Painting(s));
  EXPECT_EQ(Rgb(img, 1, 1), kRed);
  EXPECT_EQ(s.TakeDamage(), QRect(0, 0, 4, 4));
}

TEST_F(SurfaceRaster, QueuedLinesKeepTheirPlaceAmongEveryOtherDrawing) {
  // Plotted lines may wait before they reach the pixels. The same random
  // mix of thin lines in changing colours, wide lines, circles, arcs, texts
  // and erasing must give the same picture whether painting runs on or is
  // suspended after every call, which makes each line land at once.
  for (double ratio : {1.0, 2.0}) {
    for (int round = 0; round < 30; ++round) {
      QImage* pictures[2];
      for (int suspendEach = 0; suspendEach < 2; ++suspendEach) {
        std::mt19937 rng(100 + round);
        QImage& img = newImage(static_cast<int>(100 * ratio), static_cast<int>(80 * ratio));
        img.setDevicePixelRatio(ratio);
        RasterSurface s(&img);
        TFont font("", 12);
        s.SelectObject(font.GetHandle());
        s.SetBkMode(TRANSPARENT);
        std::vector<std::unique_ptr<TPen>> pens;
        for (int call = 0; call < 120; ++call) {
          const int x = static_cast<int>(rng() % 100), y = static_cast<int>(rng() % 80);
          const std::uint32_t colour = rng() & 0xFFFFFF;
          switch (rng() % 8) {
            case 0:
              pens.push_back(std::make_unique<TPen>(TColor(colour & 0xFF, (colour >> 8) & 0xFF, colour >> 16),
                                                    rng() % 4 == 0 ? 5 : 1));
              s.SelectObject(pens.back()->GetHandle());
              break;
            case 1: {
              const int r = 1 + static_cast<int>(rng() % 15);
              s.Arc(x - r, y - r, x + r, y + r, x + r, y, x + r, y);
              break;
            }
            case 2:
              s.SetTextColor(colour);
              s.TextOutA(x, y, "Wg", 2);
              break;
            case 3:
              s.EraseBkgnd(x, y, static_cast<int>(rng() % 30), 7, colour);
              break;
            default:
              s.MoveToEx(x, y);
              s.LineTo(x + static_cast<int>(rng() % 41) - 20, y + static_cast<int>(rng() % 41) - 20);
              break;
          }
          if (suspendEach) s.Suspend();
        }
        s.SelectObject(GdiObjects::DefaultPen);
        s.SelectObject(GdiObjects::DefaultFont);
        s.End();
        pictures[suspendEach] = &img;
      }
      ASSERT_EQ(*pictures[0], *pictures[1]) << "ratio " << ratio << " round " << round;
    }
  }
}

}  // namespace
