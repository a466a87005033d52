// The raster surface's fonts: kept per description, least recently used
// leaving first, and the cell-height search that picks their pixel sizes.
// The font cache is shared by the whole test program, so each test asks
// for heights no other test uses.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "framework/surface/RasterFont.h"
#include "framework/surface/TextCache.h"
#include "tests/framework/surface/SurfaceTestApp.h"

namespace {

FontDesc emFont(int pixels, const char* face = "Arial") {
  FontDesc d;
  d.height = -pixels;
  d.hasFace = true;
  d.face = face;
  return d;
}

}  // namespace

TEST(SurfaceFontCache, ARepeatedDescriptionIsFoundAfterHundredsOfOthers) {
  EnsureGuiApp();
  const auto first = RasterFontFor(emFont(2000));
  std::vector<std::shared_ptr<const RasterFont>> others;
  for (int i = 0; i < 300; ++i) others.push_back(RasterFontFor(emFont(2001 + i)));
  const auto again = RasterFontFor(emFont(2000));
  EXPECT_EQ(again.get(), first.get());
  EXPECT_EQ(again->id, first->id);
  // The others are kept too: each gives back its own entry.
  for (int i = 0; i < 300; ++i) ASSERT_EQ(RasterFontFor(emFont(2001 + i)).get(), others[i].get()) << i;
}

TEST(SurfaceFontCache, DistinctDescriptionsNeverShareAnEntry) {
  EnsureGuiApp();
  const FontDesc base = emFont(2400);
  std::vector<FontDesc> descs{base};
  auto vary = [&](auto change) {
    FontDesc d = base;
    change(d);
    descs.push_back(d);
  };
  vary([](FontDesc& d) { d.height = -2401; });
  vary([](FontDesc& d) { d.height = 2400; });
  vary([](FontDesc& d) { d.width = 5; });
  vary([](FontDesc& d) { d.escapement = 900; });
  vary([](FontDesc& d) { d.orientation = 900; });
  vary([](FontDesc& d) { d.weight = 700; });
  vary([](FontDesc& d) { d.weight = 0; });
  vary([](FontDesc& d) { d.italic = 1; });
  vary([](FontDesc& d) { d.italic = 2; });
  vary([](FontDesc& d) { d.underline = 1; });
  vary([](FontDesc& d) { d.strikeOut = 1; });
  vary([](FontDesc& d) { d.charSet = 0; });
  vary([](FontDesc& d) { d.outPrecision = 1; });
  vary([](FontDesc& d) { d.clipPrecision = 1; });
  vary([](FontDesc& d) { d.quality = 1; });
  vary([](FontDesc& d) { d.pitchAndFamily = 1; });
  vary([](FontDesc& d) { d.face = "DejaVu Sans"; });
  vary([](FontDesc& d) { d.face = "arial"; });
  vary([](FontDesc& d) { d.face.clear(); });
  vary([](FontDesc& d) {
    d.hasFace = false;
    d.face.clear();
  });
  std::set<int> ids;
  for (const FontDesc& d : descs) ids.insert(RasterFontFor(d)->id);
  EXPECT_EQ(ids.size(), descs.size());
  // Each still finds its own entry, and what the entry draws with follows
  // its description.
  for (const FontDesc& d : descs) {
    const auto f = RasterFontFor(d);
    EXPECT_EQ(ids.count(f->id), 1u);
    EXPECT_EQ(f->font.italic(), d.italic != 0);
    EXPECT_EQ(f->font.underline(), d.underline != 0);
  }
}

TEST(SurfaceFontCache, StaysWithinItsCapacityDroppingTheLeastRecentlyUsed) {
  EnsureGuiApp();
  const auto kept = RasterFontFor(emFont(3000));
  const int keptId = kept->id;
  const auto firstNew = RasterFontFor(emFont(3001));
  const int firstNewId = firstNew->id;
  const int extra = static_cast<int>(RasterFontCacheCapacity) + 50;
  for (int i = 1; i <= extra; ++i) {
    RasterFontFor(emFont(3001 + i));
    // Asked for often, this one never becomes the least recently used.
    if (i % 100 == 0) {
      ASSERT_EQ(RasterFontFor(emFont(3000))->id, keptId) << i;
    }
    ASSERT_LE(RasterFontCacheSize(), RasterFontCacheCapacity) << i;
  }
  EXPECT_EQ(RasterFontCacheSize(), RasterFontCacheCapacity);
  EXPECT_EQ(RasterFontFor(emFont(3000))->id, keptId);
  // This one left; made again it is a new entry with an id of its own,
  // while the one still held by its user stays valid.
  const auto remade = RasterFontFor(emFont(3001));
  EXPECT_NE(remade->id, firstNewId);
  EXPECT_NE(remade.get(), firstNew.get());
  EXPECT_EQ(firstNew->font.pixelSize(), 3001);
}

// The pixel size of a cell height is the largest whose cell fits, or 1
// when none does: across cells where the size predicted from the shape is
// right, too small and too large, for several shapes.
TEST(SurfaceFontCache, CellHeightsGetTheLargestSizeThatFits) {
  EnsureGuiApp();
  struct Shape {
    const char* face;
    int weight;
    unsigned italic;
  } shapes[] = {
      {"Arial", 400, 0}, {"Arial", 700, 0}, {"Arial", 400, 1}, {"DejaVu Serif", 400, 0}, {nullptr, 0, 0}};
  std::vector<int> cells{1, 2, 3, 5, 9, 10, 17, 19, 20, 33, 64, 72, 99, 124, 125, 200, 333};
  for (const Shape& s : shapes) {
    for (int cell : cells) {
      FontDesc d;
      d.height = cell;
      d.weight = s.weight;
      d.italic = s.italic;
      d.hasFace = s.face != nullptr;
      if (s.face) d.face = s.face;
      const int px = RasterPixelSize(d);
      QFont f = RasterFontFor(d)->font;
      ASSERT_EQ(f.pixelSize(), px);
      const double h = QFontMetricsF(f).height();
      EXPECT_TRUE(h <= cell || px == 1) << (s.face ? s.face : "no face") << " cell " << cell;
      f.setPixelSize(px + 1);
      EXPECT_GT(QFontMetricsF(f).height(), cell) << (s.face ? s.face : "no face") << " cell " << cell;
    }
  }
}

// A client that changes fonts at every text keeps the layouts of every
// font it uses, so the second round lays nothing out.
TEST(SurfaceFontCache, TextLayoutsOutliveFontChanges) {
  EnsureGuiApp();
  TextCache cache;
  std::vector<std::shared_ptr<const RasterFont>> fonts;
  for (int i = 0; i < 200; ++i)
    fonts.push_back(RasterFontFor(emFont(3700 + i % 100, i < 100 ? "Arial" : "DejaVu Sans")));
  const std::string s = "Label";
  for (int round = 0; round < 2; ++round)
    for (const auto& f : fonts) ASSERT_GT(cache.Get(*f, 1, s.data(), 5).advance, 0);
  EXPECT_EQ(cache.Size(), 200u);
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
