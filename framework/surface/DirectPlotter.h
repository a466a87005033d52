#pragma once
// Thin lines, circles and arcs written straight into the pixels of a 32-bit
// image: several times faster than Qt's, and the same pixels whatever the
// size of the image (a line or curve that leaves the image lights, inside
// it, exactly the pixels it lights on a larger one).
//
// Coordinates are device pixels. Every traced point is the top-left corner
// of a block of n x n pixels (SetBlock): a pen n pixels wide, which a
// surface uses for a one-unit pen on an image of n device pixels a unit
// (Bresenham at device resolution, each point a block: a horizontal line at
// unit row y covers device rows n*y to n*y + n - 1). At n = 1 that is the
// plain one-pixel plot.
//
// Dashed lines and curves follow a pattern of on and off lengths, counted
// in steps along the major axis for lines and along the arc for curves; a
// line starts at a given position in the pattern, so that a caller can
// carry the pattern on along connected lines.
//
// Lines inside the image wait in a short queue before they are plotted,
// and the pixels a line will write are fetched into the cache as it joins
// the queue: scattered short lines then find their pixels at hand instead
// of stalling on every row. The queue keeps the order, and is emptied
// (Flush) before anything else may touch the pixels: every other drawing
// here, a change of colour or block, Detach, and by the surface before Qt
// draws.

#include <QImage>
#include <algorithm>
#include <cstdlib>

class DirectPlotter {
public:
  // A dash pattern in device steps: on, off, on, off... (count even, at
  // most 4), with their sum.
  struct Dash {
    int count = 0;
    long long len[4] = {};
    long long period = 0;
  };
  // An arc's extent: rays from the centre through (sx, sy) and (ex, ey),
  // y up, counter-clockwise as seen from the first to the second; `whole`
  // for the whole curve (which starts at the ray to the right).
  struct Sector {
    long long sx = 1, sy = 0, ex = 1, ey = 0;
    bool whole = true;
  };

  // Plots on `image` (not owned; it must stay alive and unshared while
  // attached). False, and detached, when the image is not 32-bit.
  bool Attach(QImage* image);
  void Detach() {
    Flush();
    bits = nullptr;
  }
  bool Attached() const { return bits != nullptr; }
  long long Width() const { return w; }
  long long Height() const { return h; }
  void SetColour(QRgb c) {
    if (c == colour) return;
    Flush();
    colour = c;
  }
  // The side of the block each point covers (1 or more).
  void SetBlock(int n) {
    if (n == block) return;
    Flush();
    block = n;
  }
  int Block() const { return block; }

  // Whether the block of a point lies inside the image.
  bool Holds(long long x, long long y) const { return x >= 0 && y >= 0 && x <= w - block && y <= h - block; }

  // A solid line from (x1, y1) up to, not including, the block of (x2, y2)
  // (the trace stops block - 1 points short of it); the blocks of both
  // ends lie inside the image. Plotted by the time the queue is flushed.
  void Line(int x1, int y1, int x2, int y2) {
    if (queued == kQueue) plotOldest();
    if (block == 1) prefetch(x1, y1, x2, y2);
    queue[(head + queued) % kQueue] = Segment{x1, y1, x2, y2};
    ++queued;
  }
  // The same for any line (coordinates up to 2^40 in size): the part of it
  // inside the image, plotted at once. With a pattern, dashed from
  // `phase` steps into it.
  void ClippedLine(long long x1, long long y1, long long x2, long long y2, const Dash* dash = nullptr,
                   long long phase = 0);
  // Plots every queued line, oldest first.
  void Flush() {
    while (queued) plotOldest();
  }

  // The whole solid circle of radius r (device pixels, at most
  // kMaxRadius: it walks the whole circle, seen or not) around the device
  // point (cx, cy) (midpoint circle), clipped to the image.
  static constexpr long long kMaxRadius = 1 << 16;
  void Circle(long long cx, long long cy, long long r);
  // The points of that circle within the sector, dashed when a pattern is
  // given (counted along the arc from the first ray).
  void Arc(long long cx, long long cy, long long r, const Sector& sector, const Dash* dash);

private:
  struct Segment {
    int x1, y1, x2, y2;
  };
  // Deep enough that a line's pixels arrive before it is plotted.
  static constexpr int kQueue = 16;

  QRgb* row(long long y) const { return reinterpret_cast<QRgb*>(bits + y * stride); }
  void plotOldest() {
    const Segment l = queue[head];
    head = (head + 1) % kQueue;
    --queued;
    if (block == 1)
      line1(l.x1, l.y1, l.x2, l.y2);
    else
      plotSteps(l.x1, l.y1, l.x2, l.y2, nullptr, 0, false);
  }
  // Asks for the cache lines of a short line's rows (at the column halfway
  // along), or of a long line's two ends.
  void prefetch(int x1, int y1, int x2, int y2) const {
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (bottom - top > 32) {
      fetch(row(y1) + x1);
      fetch(row(y2) + x2);
      return;
    }
    const int mid = x1 + (x2 - x1) / 2;
    for (int y = top; y <= bottom; ++y) fetch(row(y) + mid);
  }
  static void fetch(const QRgb* p) {
#if defined(__x86_64__) || defined(__i386__)
    // The compiler drops a loop of __builtin_prefetch as having no effect.
    asm volatile("prefetcht0 %0" ::"m"(*reinterpret_cast<const char*>(p)));
#else
    __builtin_prefetch(p, 1);
#endif
  }
  // Bresenham with one loop for each major axis: the major coordinate steps
  // at every pixel, the minor one when the error term says so. These are the
  // pixels of the textbook two-test loop, with one branch a pixel less.
  void line1(int x, int y, int xe, int ye) {
    const int dx = std::abs(xe - x), dy = std::abs(ye - y);
    const int sx = x < xe ? 1 : -1;
    const qsizetype sy = y < ye ? stride / 4 : -stride / 4;
    QRgb* p = row(y) + x;
    int err = dx - dy;
    if (dx >= dy) {
      for (int n = dx; n > 0; --n) {
        *p = colour;
        p += sx;
        err -= dy;
        if (2 * (err + dy) <= dx) {
          err += dx;
          p += sy;
        }
      }
    } else {
      for (int n = dy; n > 0; --n) {
        *p = colour;
        p += sy;
        err += dx;
        if (2 * (err - dx) >= -dy) {
          err -= dy;
          p += sx;
        }
      }
    }
  }
  // Any line, block or pattern: the trace's steps inside the image (all of
  // them when `inside`), each point's block where the pattern is on, runs
  // of blocks along one row (column) filled together.
  void plotSteps(long long x1, long long y1, long long x2, long long y2, const Dash* dash, long long phase,
                 bool clip);
  // Device rows y0 to y1, columns x0 to x1 (inclusive), clipped to the image.
  void fill(long long x0, long long y0, long long x1, long long y1);

  uchar* bits = nullptr;
  qsizetype stride = 0;
  long long w = 0, h = 0;  // device size
  int block = 1;
  QRgb colour = 0;
  Segment queue[kQueue];
  int head = 0;    // the oldest queued line
  int queued = 0;  // lines waiting
};
