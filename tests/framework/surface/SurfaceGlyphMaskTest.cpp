// Large text drawn from glyph masks: the same pixels as Qt's outline fill
// in the same places, masks kept within their bound, and clipping at the
// image's edges.
#include <gtest/gtest.h>

#include <QRawFont>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/surface/GdiObjects.h"
#include "framework/surface/GlyphMasks.h"
#include "framework/surface/RasterSurface.h"
#include "tests/framework/surface/RasterSurfaceProbe.h"
#include "tests/framework/surface/SurfaceTestApp.h"

namespace {

constexpr int W = 420, H = 220;

struct Text {
  int height;  // cell height (> 0) or em height (< 0)
  unsigned align;
  const char* bytes;
  int x, y;
  bool underline = false;
};

// The text drawn on a black image of W x H logical pixels at `ratio`, from
// masks or all through Qt; `maskBytes` gets the masks' bytes.
QImage draw(const Text& t, double ratio, bool masks, std::size_t* maskBytes = nullptr) {
  QImage img(static_cast<int>(W * ratio), static_cast<int>(H * ratio), QImage::Format_RGB32);
  img.setDevicePixelRatio(ratio);
  img.fill(0xFF000000u);
  FontDesc d;
  d.height = t.height;
  d.underline = t.underline;
  const GdiHandle font = GdiObjects::CreateFontA(d);
  {
    RasterSurface s(&img);
    RasterSurfaceProbe::SetGlyphMasks(s, masks);
    s.SetBkMode(TRANSPARENT);
    s.SetTextColor(0x0040C0FF);  // orange: three channels blend differently
    s.SetTextAlign(t.align);
    s.SelectObject(font);
    s.TextOutA(t.x, t.y, t.bytes, static_cast<int>(std::strlen(t.bytes)));
    if (maskBytes) *maskBytes = RasterSurfaceProbe::GlyphMaskBytes(s);
    s.SelectObject(GdiObjects::DefaultFont);
  }
  GdiObjects::DeleteObject(font);
  return img;
}

struct Difference {
  int lit = 0, differ = 0, most = 0;
  QRect litBox;
};

Difference compare(const QImage& a, const QImage& b) {
  Difference d;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if ((p & 0xFFFFFF) != 0) {
        ++d.lit;
        d.litBox |= QRect(x, y, 1, 1);
      }
      if (p == q) continue;
      ++d.differ;
      d.most = std::max({d.most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                         std::abs(qBlue(p) - qBlue(q))});
    }
  return d;
}

}  // namespace

// Masks give the pixels of Qt's outline fill, at fractional positions too
// (centred texts) and across the edges: the same lit box, and only pixels
// two glyphs share may differ, by a few levels.
TEST(SurfaceGlyphMasks, LargeTextLandsWhereQtDrawsItWithItsPixels) {
  EnsureGuiApp();
  const Text texts[] = {
      {90, TA_LEFT | TA_TOP, "Label 123", 10, 10},
      {150, TA_CENTER | TA_TOP, "Wavy fifl", 210, 20},
      {-120, TA_RIGHT | TA_BASELINE, "g\xC3\x85-%@", 400, 160},
      {80, TA_CENTER | TA_BOTTOM, "AVAW 7/8", 207, 200},
      {100, TA_CENTER | TA_TOP, "Edge", 9, -21},  // across the top-left corner
  };
  for (double ratio : {1.0, 2.0, 1.5}) {
    for (const Text& t : texts) {
      std::size_t maskBytes = 0;
      const QImage qt = draw(t, ratio, false), own = draw(t, ratio, true, &maskBytes);
      const Difference d = compare(qt, own);
      const std::string what = std::string(t.bytes) + " at ratio " + std::to_string(ratio);
      EXPECT_GT(maskBytes, 0u) << what << ": drawn from masks";
      ASSERT_GT(d.lit, 1000) << what;
      EXPECT_EQ(compare(own, qt).litBox, d.litBox) << what;
      EXPECT_LE(d.differ * 200, d.lit) << what;  // at most half a percent
      EXPECT_LE(d.most, 48) << what;
    }
  }
}

// What masks do not draw goes through Qt unchanged: underlined fonts, and
// texts with control characters (which Qt may break or tabulate).
TEST(SurfaceGlyphMasks, UnderlinesAndControlCharactersAreLeftToQt) {
  EnsureGuiApp();
  Text underlined{120, TA_LEFT, "Under", 10, 10};
  underlined.underline = true;
  const Text tabbed{120, TA_LEFT, "a\tb", 10, 10};
  for (const Text& t : {underlined, tabbed}) {
    std::size_t maskBytes = 1;
    const Difference d = compare(draw(t, 1, false), draw(t, 1, true, &maskBytes));
    EXPECT_EQ(maskBytes, 0u) << t.bytes;
    EXPECT_GT(d.lit, 1000) << t.bytes;
    EXPECT_EQ(d.differ, 0) << t.bytes;
  }
}

// A glyph across an edge draws the part inside, exactly as that part lies
// in a larger image; one far off draws nothing.
TEST(SurfaceGlyphMasks, GlyphsAcrossTheEdgesAreClipped) {
  EnsureGuiApp();
  QFont f("DejaVu Sans");
  f.setPixelSize(140);
  const QRawFont font = QRawFont::fromFont(f);
  ASSERT_TRUE(font.isValid());
  const quint32 glyph = font.glyphIndexesForString("W").value(0);
  constexpr int kBig = 400, kSmall = 100;
  std::vector<std::uint32_t> big(kBig * kBig, 0xFF000000u);
  GlyphMasks masks;
  const PixelTarget bigTarget{reinterpret_cast<uchar*>(big.data()), kBig * 4, kBig, kBig};
  // The glyph's origin at (150.25, 250.5) in the big image.
  masks.Draw(font, glyph, 1, 150.25, 250.5, 0xFFFFFF, bigTarget);
  for (const QPoint corner :
       {QPoint(100, 150), QPoint(200, 150), QPoint(100, 250), QPoint(200, 250), QPoint(140, 180)}) {
    std::vector<std::uint32_t> small(kSmall * kSmall, 0xFF000000u);
    const PixelTarget smallTarget{reinterpret_cast<uchar*>(small.data()), kSmall * 4, kSmall, kSmall};
    masks.Draw(font, glyph, 1, 150.25 - corner.x(), 250.5 - corner.y(), 0xFFFFFF, smallTarget);
    for (int y = 0; y < kSmall; ++y)
      for (int x = 0; x < kSmall; ++x)
        ASSERT_EQ(small[y * kSmall + x], big[(corner.y() + y) * kBig + corner.x() + x])
            << corner.x() << "," << corner.y() << ": " << x << "," << y;
  }
  std::vector<std::uint32_t> small(kSmall * kSmall, 0xFF000000u);
  const PixelTarget smallTarget{reinterpret_cast<uchar*>(small.data()), kSmall * 4, kSmall, kSmall};
  for (double far : {1e9, -1e9, 1e300}) masks.Draw(font, glyph, 1, far, far, 0xFFFFFF, smallTarget);
  EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](std::uint32_t p) { return p == 0xFF000000u; }));
}

// Masks of many sizes stay within the bound, and a mask made again after
// the cache was emptied draws as the first one did.
TEST(SurfaceGlyphMasks, MasksStayWithinTheirBound) {
  EnsureGuiApp();
  constexpr std::size_t kBound = 256 << 10;
  GlyphMasks masks(kBound);
  std::vector<std::uint32_t> first(300 * 300, 0xFF000000u), again(300 * 300, 0xFF000000u);
  const PixelTarget firstTarget{reinterpret_cast<uchar*>(first.data()), 300 * 4, 300, 300};
  const PixelTarget againTarget{reinterpret_cast<uchar*>(again.data()), 300 * 4, 300, 300};
  QFont f("DejaVu Sans");
  std::size_t most = 0;
  bool cleared = false;
  for (int px = 65; px <= 200; ++px) {
    f.setPixelSize(px);
    const QRawFont font = QRawFont::fromFont(f);
    for (quint32 g : font.glyphIndexesForString("Bound&")) {
      const std::size_t before = masks.Size();
      masks.Draw(font, g, 1, 20, 220, 0xFFFFFF, px == 65 ? firstTarget : againTarget);
      cleared = cleared || masks.Size() < before;
      most = std::max(most, masks.Bytes());
    }
  }
  EXPECT_TRUE(cleared) << "the bound was reached";
  EXPECT_LE(most, kBound);
  f.setPixelSize(65);
  const QRawFont font = QRawFont::fromFont(f);
  std::fill(again.begin(), again.end(), 0xFF000000u);
  for (quint32 g : font.glyphIndexesForString("Bound&"))
    masks.Draw(font, g, 1, 20, 220, 0xFFFFFF, againTarget);
  EXPECT_EQ(again, first);
}

// The masks of a glyph at other fractions of a pixel and other scales, made
// from its kept outline, draw as masks made afresh do; so does a cache
// whose bound is below one mask, which keeps at most the last one.
TEST(SurfaceGlyphMasks, KeptOutlinesDrawAsFreshOnes) {
  EnsureGuiApp();
  QFont f("DejaVu Sans");
  f.setPixelSize(120);
  const QRawFont font = QRawFont::fromFont(f);
  ASSERT_TRUE(font.isValid());
  const quint32 glyph = font.glyphIndexesForString("g").value(0);
  constexpr int kSide = 320;
  const auto drawn = [&](GlyphMasks& masks, double scale, double x) {
    std::vector<std::uint32_t> pixels(kSide * kSide, 0xFF000000u);
    masks.Draw(font, glyph, scale, x, 200.5, 0x40C0FF,
               {reinterpret_cast<uchar*>(pixels.data()), kSide * 4, kSide, kSide});
    return pixels;
  };
  GlyphMasks kept, tiny(1);
  for (const double scale : {1.0, 2.0})
    for (const double x : {10.0, 10.25, 10.5, 10.75}) {
      GlyphMasks fresh;
      const std::vector<std::uint32_t> expected = drawn(fresh, scale, x);
      EXPECT_NE(std::count(expected.begin(), expected.end(), 0xFF000000u), kSide * kSide);
      EXPECT_EQ(drawn(kept, scale, x), expected) << scale << " " << x;
      EXPECT_EQ(drawn(tiny, scale, x), expected) << scale << " " << x;
      EXPECT_LE(tiny.Size(), 1u);
    }
  EXPECT_EQ(kept.Size(), 8u);
}
