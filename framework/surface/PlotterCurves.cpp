// The direct plotter's circles and arcs: midpoint circles at device
// resolution, each point the corner of a block, kept where the arc's sector
// and its dash pattern say.
#include <cmath>
#include <numbers>

#include "framework/surface/DirectPlotter.h"

namespace {

// Midpoint circle of radius r around (cx, cy): one octant computed, eight
// points handed to `put`.
template <typename Put>
void midpointCircle(long long cx, long long cy, long long r, Put put) {
  long long x = r, y = 0, err = 1 - r;
  while (x >= y) {
    put(cx + x, cy + y);
    put(cx - x, cy + y);
    put(cx + x, cy - y);
    put(cx - x, cy - y);
    put(cx + y, cy + x);
    put(cx - y, cy + x);
    put(cx + y, cy - x);
    put(cx - y, cy - x);
    ++y;
    if (err < 0) {
      err += 2 * y + 1;
    } else {
      --x;
      err += 2 * (y - x) + 1;
    }
  }
}

long long cross(long long ax, long long ay, long long bx, long long by) { return ax * by - ay * bx; }

}  // namespace

void DirectPlotter::Circle(long long cx, long long cy, long long r) {
  Flush();
  if (r < 0 || r > kMaxRadius) return;
  const long long n = block;
  const bool inside = cx - r >= 0 && cy - r >= 0 && cx + r + n <= w && cy + r + n <= h;
  if (!inside && (cx + r + n <= 0 || cy + r + n <= 0 || cx - r >= w || cy - r >= h)) return;
  if (n == 1) {
    // Kept in locals: a store through a pixel pointer could otherwise alias
    // the members and make each of them be read again.
    uchar* const b = bits;
    const qsizetype s = stride;
    const long long iw = w, ih = h;
    const QRgb c = colour;
    midpointCircle(cx, cy, r, [&](long long x, long long y) {
      if (inside || (x >= 0 && y >= 0 && x < iw && y < ih)) reinterpret_cast<QRgb*>(b + y * s)[x] = c;
    });
    return;
  }
  midpointCircle(cx, cy, r, [&](long long x, long long y) {
    if (inside)
      for (long long by = y; by < y + n; ++by) std::fill(row(by) + x, row(by) + x + n, colour);
    else
      fill(x, y, x + n - 1, y + n - 1);
  });
}

void DirectPlotter::Arc(long long cx, long long cy, long long r, const Sector& s, const Dash* dash) {
  Flush();
  if (r < 0 || r > kMaxRadius) return;
  const long long n = block;
  if (cx + r + n <= 0 || cy + r + n <= 0 || cx - r >= w || cy - r >= h) return;
  // The sector: from the first ray counter-clockwise (y up) to the second;
  // within half a turn a point must lie on the inner side of both rays,
  // beyond it outside the other sector.
  const bool small = cross(s.sx, s.sy, s.ex, s.ey) > 0 ||
                     (cross(s.sx, s.sy, s.ex, s.ey) == 0 && s.sx * s.ex + s.sy * s.ey < 0);
  const auto within = [&](long long px, long long py) {
    if (s.whole) return true;
    if (small) return cross(s.sx, s.sy, px, py) >= 0 && cross(px, py, s.ex, s.ey) >= 0;
    return !(cross(s.ex, s.ey, px, py) > 0 && cross(px, py, s.sx, s.sy) > 0);
  };
  // A point's place in the pattern: the length of arc from the first ray.
  // A whole circle's pattern runs clockwise as seen from the ray to the
  // right, as a painter's and an SVG reader's circle does; an arc's from its
  // start, the way it runs.
  const long long fx = s.whole ? 1 : s.sx, fy = s.whole ? 0 : s.sy, turn = s.whole ? -1 : 1;
  const auto lit = [&](long long px, long long py) {
    if (!dash) return true;
    double angle =
        std::atan2(static_cast<double>(turn * cross(fx, fy, px, py)), static_cast<double>(fx * px + fy * py));
    if (angle < 0) angle += 2 * std::numbers::pi;
    const long long at = static_cast<long long>(angle * static_cast<double>(r)) % dash->period;
    long long p = at;
    int entry = 0;
    while (p >= dash->len[entry]) p -= dash->len[entry++];
    return entry % 2 == 0;
  };
  midpointCircle(cx, cy, r, [&](long long x, long long y) {
    const long long px = x - cx, py = cy - y;
    if (within(px, py) && lit(px, py)) fill(x, y, x + n - 1, y + n - 1);
  });
}
