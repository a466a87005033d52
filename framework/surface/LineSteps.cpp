#include "framework/surface/LineSteps.h"

#include <algorithm>

namespace raster {

namespace {

using i128 = __int128;

// Division rounded down and up, for any signs (b > 0).
i128 floorDiv(i128 a, i128 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
i128 ceilDiv(i128 a, i128 b) { return -floorDiv(-a, b); }

long long narrow(i128 v) {
  constexpr i128 kMost = (i128(1) << 62);
  return static_cast<long long>(std::clamp(v, -kMost, kMost));
}

}  // namespace

LineTrace TraceOf(long long x1, long long y1, long long x2, long long y2) {
  LineTrace t;
  t.x = x1;
  t.y = y1;
  t.sx = x2 < x1 ? -1 : 1;
  t.sy = y2 < y1 ? -1 : 1;
  const long long dx = x2 < x1 ? x1 - x2 : x2 - x1, dy = y2 < y1 ? y1 - y2 : y2 - y1;
  t.alongX = dx >= dy;
  t.major = t.alongX ? dx : dy;
  t.minor = t.alongX ? dy : dx;
  return t;
}

TracePoint PointAt(const LineTrace& t, long long k) {
  if (t.major == 0) return {t.x, t.y, 0};
  const i128 twice = 2 * i128(t.major);
  const i128 n = 2 * i128(k) * t.minor + t.major;
  const i128 q = floorDiv(n, twice);
  const long long rem = static_cast<long long>(n - q * twice);
  const long long along = k, across = static_cast<long long>(q);
  if (t.alongX) return {t.x + t.sx * along, t.y + t.sy * across, rem};
  return {t.x + t.sx * across, t.y + t.sy * along, rem};
}

StepRange StepsWithin(const LineTrace& t, long long first, long long last, long long x0, long long y0,
                      long long x1, long long y1) {
  i128 from = first, to = last;
  const long long majorStart = t.alongX ? t.x : t.y, minorStart = t.alongX ? t.y : t.x;
  const long long majorDir = t.alongX ? t.sx : t.sy, minorDir = t.alongX ? t.sy : t.sx;
  const long long majorLo = t.alongX ? x0 : y0, majorHi = t.alongX ? x1 : y1;
  const long long minorLo = t.alongX ? y0 : x0, minorHi = t.alongX ? y1 : x1;
  // Along the major axis the point moves one a step.
  if (majorDir > 0) {
    from = std::max(from, i128(majorLo) - majorStart);
    to = std::min(to, i128(majorHi) - majorStart);
  } else {
    from = std::max(from, i128(majorStart) - majorHi);
    to = std::min(to, i128(majorStart) - majorLo);
  }
  // Across, the offset q(k) never decreases: q(k) >= lo from the first k
  // with 2 k minor + major >= 2 lo major, q(k) <= hi up to the last k with
  // 2 k minor + major < 2 (hi + 1) major.
  const i128 lo = minorDir > 0 ? i128(minorLo) - minorStart : i128(minorStart) - minorHi;
  const i128 hi = minorDir > 0 ? i128(minorHi) - minorStart : i128(minorStart) - minorLo;
  if (t.minor == 0 || t.major == 0) {
    if (lo > 0 || hi < 0) return {1, 0};
  } else {
    const i128 twiceMinor = 2 * i128(t.minor);
    from = std::max(from, ceilDiv((2 * lo - 1) * t.major, twiceMinor));
    to = std::min(to, ceilDiv((2 * hi + 1) * t.major, twiceMinor) - 1);
  }
  if (from > to) return {1, 0};
  return {narrow(from), narrow(to)};
}

}  // namespace raster
