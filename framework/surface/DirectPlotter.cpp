#include "framework/surface/DirectPlotter.h"

#include <algorithm>
#include <cmath>

bool DirectPlotter::Attach(QImage* image) {
  Detach();
  if (!image) return false;
  const QImage::Format f = image->format();
  if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
    return false;
  const double ratio = image->devicePixelRatio();
  if (ratio != std::floor(ratio) || ratio < 1 || ratio > 4) return false;
  scale = static_cast<int>(ratio);
  // A painter may be drawing into the same buffer; write where it writes
  // (bits() could detach a shared image from it).
  bits = const_cast<uchar*>(image->constBits());
  stride = image->bytesPerLine();
  w = image->width() / scale;
  h = image->height() / scale;
  return true;
}

void DirectPlotter::block(long long x, long long y, bool clip) {
  for (long long by = y; by < y + scale; ++by) {
    if (clip && (by < 0 || by >= h * scale)) continue;
    QRgb* r = row(by);
    for (long long bx = x; bx < x + scale; ++bx)
      if (!clip || (bx >= 0 && bx < w * scale)) r[bx] = colour;
  }
}

void DirectPlotter::fillRows(long long y0, long long y1, long long x0, long long x1) {
  for (long long y = y0; y <= y1; ++y) std::fill(row(y) + x0, row(y) + x1 + 1, colour);
}

void DirectPlotter::lineN(int x1, int y1, int x2, int y2) {
  // Bresenham at device resolution between the device points of the ends,
  // stopped n - 1 points short of the end: the last block then ends where
  // the end point's logical pixel begins along the major axis. The blocks
  // of a run of points on one device row (or column, for a steep line) are
  // written together, as n rows of one span (or a column n wide).
  const long long n = scale;
  long long x = x1 * n, y = y1 * n;
  const long long xe = x2 * n, ye = y2 * n;
  const long long dx = std::llabs(xe - x), sx = x < xe ? 1 : -1;
  const long long dy = -std::llabs(ye - y), sy = y < ye ? 1 : -1;
  const bool alongX = dx >= -dy;
  const long long steps = alongX ? dx : -dy;
  if (steps == 0) return;
  long long err = dx + dy;
  long long runX = x, runY = y;  // the first point of the current run
  for (long long k = steps - n + 1; k > 0; --k) {
    const long long px = x, py = y;
    const long long e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
    // A run ends where the line leaves its row (column), and at the last point.
    if (k == 1 || (alongX ? y != py : x != px)) {
      if (alongX)
        fillRows(py, py + n - 1, std::min(runX, px), std::max(runX, px) + n - 1);
      else
        fillRows(std::min(runY, py), std::max(runY, py) + n - 1, px, px + n - 1);
      runX = x;
      runY = y;
    }
  }
}

namespace {

// Midpoint circle of radius r around (cx, cy): one octant computed, eight
// points handed to `put`.
template <typename Put>
void midpointCircle(int cx, int cy, int r, Put put) {
  int x = r, y = 0, err = 1 - r;
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

}  // namespace

bool DirectPlotter::Circle(double x0, double y0, double r) {
  Flush();
  if (r != std::floor(r) || r > 16384) return false;
  const int radius = static_cast<int>(r);
  const int cx = static_cast<int>(x0) + radius, cy = static_cast<int>(y0) + radius;
  const bool inside = cx - radius >= 0 && cy - radius >= 0 && cx + radius < w && cy + radius < h;
  if (scale == 1) {
    // Kept in locals: a store through a pixel pointer could otherwise alias
    // the members and make each of them be read again.
    uchar* const b = bits;
    const qsizetype s = stride;
    const long long iw = w, ih = h;
    const QRgb c = colour;
    midpointCircle(cx, cy, radius, [&](int x, int y) {
      if (inside || (x >= 0 && y >= 0 && x < iw && y < ih)) reinterpret_cast<QRgb*>(b + y * s)[x] = c;
    });
  } else {
    // At device resolution, each point the corner of a block.
    midpointCircle(cx * scale, cy * scale, radius * scale, [&](int x, int y) { block(x, y, !inside); });
  }
  return true;
}
