#pragma once
// An opaque colour blended into 32-bit pixels by coverage, rounded exactly
// as Qt's raster engine blends a solid colour through an anti-aliased
// mask: each channel is colour * c / 255 + pixel * (255 - c) / 255, each
// product rounded as Qt rounds it.

#include <cstdint>

// Each 8-bit channel of x times a / 255, rounded as Qt rounds it, two
// channels at a time.
inline std::uint32_t MulChannels(std::uint32_t x, std::uint32_t a) {
  std::uint32_t t = (x & 0xff00ffu) * a;
  t = ((t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
  x = ((x >> 8) & 0xff00ffu) * a;
  x = (x + ((x >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
  return x | t;
}

// One pixel.
inline std::uint32_t BlendCoverage(std::uint32_t pixel, std::uint32_t colour, std::uint8_t c) {
  return MulChannels(colour, c) + MulChannels(pixel, 255u - c);
}

// `n` pixels from `pixels`, with the coverage bytes from `coverage`; the
// same result as BlendCoverage on each, several pixels at a time where the
// processor can.
void BlendCoverageRun(std::uint32_t* pixels, const std::uint8_t* coverage, long long n, std::uint32_t colour);
