// The laid-out text cache: entries per font and ratio, bounded in bytes.
#include <gtest/gtest.h>

#include <string>

#include "framework/surface/RasterFont.h"
#include "framework/surface/TextCache.h"
#include "tests/framework/surface/SurfaceTestApp.h"

namespace {

std::shared_ptr<const RasterFont> font12() {
  FontDesc d;
  d.height = 12;
  return RasterFontFor(d);
}

}  // namespace

TEST(SurfaceTextCache, KeepsEachTextOncePerFontAndRatio) {
  EnsureGuiApp();
  TextCache cache;
  const auto font = font12();
  const std::string s = "Hello";
  const double advance = cache.Get(*font, 1, s.data(), 5).advance;
  EXPECT_GT(advance, 0);
  const std::size_t bytes = cache.Bytes();
  EXPECT_GT(bytes, 0u);
  EXPECT_EQ(cache.Get(*font, 1, s.data(), 5).advance, advance);
  EXPECT_EQ(cache.Size(), 1u);
  EXPECT_EQ(cache.Bytes(), bytes) << "a hit costs nothing";
  // The same text for another ratio is laid out anew, with the same
  // logical advance.
  EXPECT_EQ(cache.Get(*font, 2, s.data(), 5).advance, advance);
  EXPECT_EQ(cache.Size(), 2u);
  EXPECT_EQ(cache.Bytes(), 2 * bytes);
  cache.Clear();
  EXPECT_EQ(cache.Size(), 0u);
  EXPECT_EQ(cache.Bytes(), 0u);
}

TEST(SurfaceTextCache, DistinctLongTextsStayWithinTheBound) {
  EnsureGuiApp();
  constexpr std::size_t kBound = 64 * 1024;
  TextCache cache(kBound);
  const auto font = font12();
  std::size_t most = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::string s = std::to_string(i) + std::string(200, static_cast<char>('a' + i % 26));
    const TextCache::Entry& e = cache.Get(*font, 1 + i % 2, s.data(), static_cast<int>(s.size()));
    ASSERT_GT(e.advance, 0) << i;
    ASSERT_LE(cache.Bytes(), kBound) << i;
    ASSERT_GT(cache.Size(), 0u) << "the text just laid out is kept";
    most = std::max(most, cache.Size());
  }
  EXPECT_GE(most, 10u) << "up to the bound, texts are kept";
  // A 200-character text is estimated at more than its key and characters.
  TextCache one;
  const std::string s(200, 'x');
  one.Get(*font, 1, s.data(), 200);
  EXPECT_GE(one.Bytes(), 200u + 200u * 14u);
}
