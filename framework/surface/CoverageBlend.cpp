#include "framework/surface/CoverageBlend.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {

// MulChannels on four pixels, `a` holding each pixel's factor in both
// 16-bit halves of its lane: the same arithmetic, a channel a 16-bit lane.
inline __m128i mulChannels4(__m128i x, __m128i a) {
  const __m128i low = _mm_set1_epi16(0x00ff), half = _mm_set1_epi16(0x0080);
  __m128i t = _mm_mullo_epi16(_mm_and_si128(x, low), a);
  t = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
  __m128i u = _mm_mullo_epi16(_mm_srli_epi16(x, 8), a);
  u = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(u, _mm_srli_epi16(u, 8)), half), 8);
  return _mm_or_si128(t, _mm_slli_epi16(u, 8));
}

}  // namespace

void BlendCoverageRun(std::uint32_t* pixels, const std::uint8_t* coverage, long long n,
                      std::uint32_t colour) {
  const __m128i zero = _mm_setzero_si128(), all = _mm_set1_epi16(255);
  const __m128i colours = _mm_set1_epi32(static_cast<int>(colour));
  long long i = 0;
  for (; i + 4 <= n; i += 4) {
    std::uint32_t four;
    std::memcpy(&four, coverage + i, 4);
    // The four coverage bytes, each twice in its pixel's lane.
    __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), zero);
    c = _mm_unpacklo_epi16(c, c);
    __m128i* at = reinterpret_cast<__m128i*>(pixels + i);
    const __m128i dst = _mm_loadu_si128(at);
    const __m128i blended = _mm_add_epi32(mulChannels4(colours, c), mulChannels4(dst, _mm_sub_epi16(all, c)));
    _mm_storeu_si128(at, blended);
  }
  for (; i < n; ++i) pixels[i] = BlendCoverage(pixels[i], colour, coverage[i]);
}

#else

void BlendCoverageRun(std::uint32_t* pixels, const std::uint8_t* coverage, long long n,
                      std::uint32_t colour) {
  for (long long i = 0; i < n; ++i) pixels[i] = BlendCoverage(pixels[i], colour, coverage[i]);
}

#endif
