// Text on the raster surface: placed by the alignment below its point,
// the opaque cell, texts outside the picture not laid out, the font kept
// from its selection, and the bytes that become characters.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/TextBytes.h"
#include "framework/gdi/TFont.h"
#include "tests/framework/surface/RasterSurfaceProbe.h"
#include "tests/framework/surface/SurfaceRasterFixture.h"

namespace {

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
  // Not laid out when the cell lies further off than its glyphs may
  // overhang it (half its height and two pixels: here at most 12).
  QImage& img = newImage(200, 60);
  TDC& d = start(img);
  d.SetBkMode(OPAQUE);  // a cell that reaches the picture shows
  d.SelectObject(TFont(nullptr, 20));
  d.SetTextColor(TColor(255, 255, 255));
  d.TextOutA(10, 12, "HHHH", 4);   // cell top at device row 72: below
  d.TextOutA(10, -92, "HHHH", 4);  // cell bottom at row -12 or above: above
  EXPECT_EQ(RasterSurfaceProbe::TextCacheBytes(*surface), 0u);
  d.TextOutA(10, 0, "HHHH", 4);  // cell top at row 60: laid out, nothing shows
  EXPECT_GT(RasterSurfaceProbe::TextCacheBytes(*surface), 0u);
  d.TextOutA(10, -1, "HHHH", 4);  // cell top at row 59: its first row shows
  finish();
  const Lit b = lit(img);
  EXPECT_EQ(b.y0, 59);
  EXPECT_EQ(b.y1, 59);
  EXPECT_EQ(b.x0, 10);
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

}  // namespace
