// Blending by coverage, several pixels at a time: the same pixels as one at
// a time, for every coverage value and run length, and the ends of the
// range exact.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "framework/surface/CoverageBlend.h"

TEST(CoverageBlend, RunsBlendAsSinglePixelsDo) {
  std::mt19937 rng(11);
  for (const std::uint32_t colour : {0xff000000u, 0xffffffffu, 0xff40c0ffu, 0xff123456u}) {
    for (long long n = 1; n <= 19; ++n) {
      for (int round = 0; round < 64; ++round) {
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(n));
        std::vector<std::uint8_t> coverage(static_cast<std::size_t>(n));
        for (long long i = 0; i < n; ++i) {
          pixels[i] = rng() | 0xff000000u;
          // Every coverage value at every place in a group of four.
          coverage[i] = static_cast<std::uint8_t>((round * 19 + i * 7 + rng() % 4) & 0xff);
        }
        std::vector<std::uint32_t> expected = pixels;
        for (long long i = 0; i < n; ++i) expected[i] = BlendCoverage(pixels[i], colour, coverage[i]);
        BlendCoverageRun(pixels.data(), coverage.data(), n, colour);
        ASSERT_EQ(pixels, expected) << std::hex << colour << std::dec << " n " << n << " round " << round;
      }
    }
  }
  // No coverage keeps the pixel, full coverage gives the colour.
  std::vector<std::uint32_t> pixels(8, 0xff808080u);
  const std::uint8_t ends[8] = {0, 255, 0, 255, 255, 0, 255, 0};
  BlendCoverageRun(pixels.data(), ends, 8, 0xff40c0ffu);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(pixels[i], ends[i] ? 0xff40c0ffu : 0xff808080u) << i;
}
