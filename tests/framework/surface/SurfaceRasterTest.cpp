// Pixels the raster surface draws on small images.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <climits>
#include <cmath>
#include <list>
#include <memory>
#include <random>

#include "framework/gdi/TClientDC.h"
#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"
#include "framework/surface/ColorValue.h"
#include "framework/surface/RasterFont.h"
#include "framework/surface/RasterSurface.h"
#include "base/TextBytes.h"
#include "tests/framework/gdi/GdiProbe.h"
#include "tests/framework/surface/SurfaceTestApp.h"

namespace {

constexpr unsigned kWhite = 0xFFFFFF, kBlack = 0, kRed = 0xFF0000;

// Bounding box of the pixels that are not black.
struct Lit {
  int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN, count = 0;
};
Lit lit(const QImage& img, unsigned other = kBlack) {
  Lit b;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (Rgb(img, x, y) != other) {
        b.x0 = std::min(b.x0, x);
        b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y);
        b.y1 = std::max(b.y1, y);
        ++b.count;
      }
  return b;
}

bool litNear(const QImage& img, int x, int y, int r = 2) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (img.rect().contains(x + dx, y + dy) && Rgb(img, x + dx, y + dy) != kBlack) return true;
  return false;
}

class SurfaceRaster : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiApp(); }
  void TearDown() override {
    finish();
    EXPECT_EQ(GdiProbe::LiveCount(), 0u);
  }
  // A surface on img with the origin at the bottom-left corner.
  TDC& start(QImage& img) {
    surface = std::make_unique<RasterSurface>(&img);
    dc = std::make_unique<TClientDC>(*surface);
    dc->SetViewportOrgEx(0, img.height());
    return *dc;
  }
  void finish() {
    dc.reset();
    surface.reset();
  }
  // Images outlive the surface that paints on them.
  QImage& newImage(int w, int h) { return images.emplace_back(BlackImage(w, h)); }
  std::list<QImage> images;
  std::unique_ptr<RasterSurface> surface;
  std::unique_ptr<TClientDC> dc;
};

TEST_F(SurfaceRaster, LineLandsOnItsRow) {
  QImage& img = newImage(200, 100);
  TDC& d = start(img);
  d.SelectObject(TPen(TColor(255, 255, 255)));
  d.MoveToEx(10, -20);
  d.LineTo(110, -20);
  surface->Suspend();  // the pixels are complete once painting ends
  for (int x = 10; x < 110; ++x) EXPECT_EQ(Rgb(img, x, 80), kWhite) << x;
  const Lit b = lit(img);
  EXPECT_EQ(b.y0, 80);
  EXPECT_EQ(b.y1, 80);
  EXPECT_EQ(b.x0, 10);
  EXPECT_LE(b.x1, 110);
  EXPECT_EQ(surface->CurrentPosition(), QPoint(110, -20));
}

TEST_F(SurfaceRaster, DashPatternsOnThinPensOnly) {
  struct Case {
    int style, width;
    std::vector<int> runs;  // on, off, on... from x = 0
  } cases[] = {
      {PS_DASH, 0, {18, 6, 18, 6}},
      {PS_DOT, 1, {3, 3, 3, 3}},
      {PS_DASHDOT, 0, {9, 6, 3, 6, 9}},
      {PS_DASH, -7, {18, 6, 18}},  // a negative width is one pixel
  };
  for (const auto& c : cases) {
    QImage& img = newImage(120, 20);
    TDC& d = start(img);
    d.SelectObject(TPen(TColor(255, 255, 255), c.width, c.style));
    d.MoveToEx(0, -10);
    d.LineTo(119, -10);
    int x = 0;
    bool on = true;
    for (int run : c.runs) {
      for (int k = 0; k < run; ++k, ++x)
        EXPECT_EQ(Rgb(img, x, 10) == kWhite, on) << "style " << c.style << " x " << x;
      on = !on;
    }
    const Lit b = lit(img);
    EXPECT_EQ(b.y0, 10);
    EXPECT_EQ(b.y1, 10);
    finish();
  }
  // A wide pen draws solid whatever its style, with round ends.
  QImage& img = newImage(120, 20);
  TDC& d = start(img);
  d.SelectObject(TPen(TColor(255, 255, 255), 5, PS_DASH));
  d.MoveToEx(10, -10);
  d.LineTo(100, -10);
  for (int x = 10; x <= 100; ++x) EXPECT_EQ(Rgb(img, x, 10), kWhite) << x;
  const Lit b = lit(img);
  EXPECT_EQ(b.y1 - b.y0 + 1, 5);
  EXPECT_LT(b.x0, 10);  // the round cap reaches past the end point
}

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

TEST_F(SurfaceRaster, TextHangsBelowItsPointAndAlignsLeftOfIt) {
  struct Case {
    unsigned align;
    bool leftOf, rightOf;  // lit pixels left of x = 100, right of it
  } cases[] = {{TA_LEFT, false, true}, {TA_CENTER, true, true}, {TA_RIGHT, true, false}};
  for (const auto& c : cases) {
    QImage& img = newImage(200, 60);
    TDC& d = start(img);
    d.SetBkMode(TRANSPARENT);
    d.SelectObject(TFont(nullptr, 20));
    d.SetTextColor(TColor(255, 255, 255));
    d.SetTextAlign(c.align);
    d.TextOutA(100, -10, "HHHH", 4);  // point at device (100, 50)
    const Lit b = lit(img);
    ASSERT_GT(b.count, 0) << c.align;
    EXPECT_EQ(b.x0 < 100, c.leftOf) << c.align;
    EXPECT_EQ(b.x1 > 100, c.rightOf) << c.align;
    EXPECT_GE(b.y0, 50) << c.align;  // the point is the top of the cell
    EXPECT_LT(b.y1, 50 + 20) << c.align;
    finish();
  }
}

TEST_F(SurfaceRaster, OpaqueTextFillsItsCell) {
  for (int mode : {OPAQUE, TRANSPARENT}) {
    QImage& img = newImage(120, 40);
    TDC& d = start(img);
    d.SetBkMode(mode);
    d.SelectObject(TFont(nullptr, 20));
    d.SetTextColor(TColor(255, 0, 0));
    d.TextOutA(10, -30, "i i", 3);  // cell top-left at device (10, 10)
    int white = 0, red = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 120; ++x) {
        white += Rgb(img, x, y) == kWhite;
        red += Rgb(img, x, y) == kRed;
      }
    EXPECT_GT(red, 0) << mode;
    if (mode == OPAQUE) {
      // The cell's top-left corner and the gap between the letters are
      // background: white.
      EXPECT_EQ(Rgb(img, 10, 10), kWhite);
      EXPECT_GT(white, 100);
      EXPECT_EQ(Rgb(img, 9, 10), kBlack);
    } else {
      EXPECT_EQ(white, 0);
    }
    finish();
  }
}

TEST_F(SurfaceRaster, TextsAboveOrBelowThePictureAreNotLaidOut) {
  QImage& img = newImage(200, 60);
  TDC& d = start(img);
  d.SetBkMode(OPAQUE);  // a cell that reaches the picture shows
  d.SelectObject(TFont(nullptr, 20));
  d.SetTextColor(TColor(255, 255, 255));
  d.TextOutA(10, 0, "HHHH", 4);    // cell top at device row 60: below
  d.TextOutA(10, -80, "HHHH", 4);  // cell bottom at row 0: above
  EXPECT_EQ(surface->TextCacheBytes(), 0u);
  d.TextOutA(10, -1, "HHHH", 4);  // cell top at row 59: its first row shows
  EXPECT_GT(surface->TextCacheBytes(), 0u);
  finish();
  const Lit b = lit(img);
  EXPECT_EQ(b.y0, 59);
  EXPECT_EQ(b.y1, 59);
  EXPECT_EQ(b.x0, 10);
}

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
  EXPECT_EQ(surface->Target(), &second);
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
  EXPECT_EQ(surface->BkMode(), TRANSPARENT);
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

TEST(SurfaceRasterFont, HeightsBecomePixelSizes) {
  EnsureGuiApp();
  auto desc = [](int h) {
    FontDesc d;
    d.height = h;
    return d;
  };
  EXPECT_EQ(RasterPixelSize(desc(-20)), 20);
  EXPECT_EQ(RasterPixelSize(desc(INT_MIN)), 16384);
  EXPECT_EQ(RasterPixelSize(desc(-1)), 1);
  EXPECT_EQ(RasterPixelSize(desc(1)), 1);
  EXPECT_LE(RasterPixelSize(desc(INT_MAX)), 16384);
  for (int h : {0, 12, 20, 33, 100}) {
    const int px = RasterPixelSize(desc(h));
    QFont f = RasterFontFor(desc(h))->font;
    const int cell = h == 0 ? 16 : h;
    EXPECT_LE(QFontMetricsF(f).height(), cell) << h;
    f.setPixelSize(px + 1);
    EXPECT_GT(QFontMetricsF(f).height(), cell) << h;
  }
  // The same description gives the same cached font.
  EXPECT_EQ(RasterFontFor(desc(12))->id, RasterFontFor(desc(12))->id);
  EXPECT_NE(RasterFontFor(desc(12))->id, RasterFontFor(desc(13))->id);
}

TEST(SurfaceRasterText, BytesBecomeCharacters) {
  struct Case {
    std::string bytes;
    std::u16string chars;
  } cases[] = {
      {"abc", u"abc"},
      {"caf\xC3\xA9", u"caf\u00E9"},  // valid UTF-8
      {"caf\xE9", u"caf\u00E9"},      // not UTF-8: Windows-1252
      {"\x80\x9F\x81", u"\u20AC\u0178\u0081"},
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},  // a NUL does not end it
      {"\xC0\x80", u"\u00C0\u20AC"},                         // overlong: not UTF-8
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
  };
  for (const auto& c : cases) {
    const QString s = DecodeTextBytes(c.bytes.data(), static_cast<int>(c.bytes.size()));
    EXPECT_EQ(s, QString::fromStdU16String(c.chars)) << c.bytes;
    EXPECT_EQ(DecodeTextBytes(c.bytes), s) << "a whole string decodes alike: " << c.bytes;
  }
  EXPECT_TRUE(DecodeTextBytes("abc", 0).isEmpty());
  EXPECT_TRUE(DecodeTextBytes("abc", -1).isEmpty());
}

TEST(SurfaceRasterColour, ColourValuesAndQtColoursConvertBothWays) {
  struct Case {
    std::uint32_t value;
    QRgb rgb;
  } cases[] = {
      {0x000000FF, 0xFFFF0000},  // red in the low byte
      {0x0000FF00, 0xFF00FF00}, {0x00FF0000, 0xFF0000FF},
      {0x00123456, 0xFF563412}, {0xFE0080FF, 0xFFFF8000},  // the top byte is no component
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToQRgb(c.value), c.rgb) << std::hex << c.value;
    EXPECT_EQ(ToQColor(c.value).rgb(), c.rgb) << std::hex << c.value;
    EXPECT_EQ(FromQRgb(c.rgb), c.value & 0x00FFFFFFu) << std::hex << c.value;
  }
}

}  // namespace

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
  EXPECT_FALSE(s.Painting());
  {
    QPainter other;
    EXPECT_TRUE(other.begin(&img));
  }
  s.EraseBkgnd(0, 0, 4, 4, 0x0000FF);
  EXPECT_TRUE(s.Painting());
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

TEST_F(SurfaceRaster, TextKeepsTheSelectedFontAfterItsHandleIsDeleted) {
  // The font is made when text first needs it, from the description taken
  // at selection: deleting the handle in between changes nothing.
  int heights[2];
  for (int deleteFirst = 0; deleteFirst < 2; ++deleteFirst) {
    QImage& img = newImage(300, 120);
    RasterSurface s(&img);
    s.SetTextColor(0xFFFFFF);
    s.SetBkMode(TRANSPARENT);
    auto big = std::make_unique<TFont>("", 60);
    s.SelectObject(big->GetHandle());
    if (deleteFirst) big.reset();
    s.TextOutA(5, 5, "Hg", 2);
    s.SelectObject(GdiObjects::DefaultFont);
    s.End();
    const Lit b = lit(img);
    ASSERT_GT(b.count, 0);
    heights[deleteFirst] = b.y1 - b.y0;
  }
  EXPECT_GT(heights[0], 30) << "a 60-pixel cell";
  EXPECT_EQ(heights[0], heights[1]);
}
