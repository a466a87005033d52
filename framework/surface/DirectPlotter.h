#pragma once
// Thin solid lines and whole circles written straight into the pixels of a
// 32-bit image: several times faster than Qt's line and ellipse.
//
// Coordinates are logical pixels. On an image whose device pixel ratio is a
// whole number n, the line or circle is traced at device resolution (from
// device point n*p) and every traced point is the top-left corner of an n x n
// block: the pen covers one logical pixel across, as Qt's one-unit pen
// shifted to the pixel centres does (RasterSurface), and a horizontal line
// at logical row y covers device rows n*y to n*y + n - 1. At ratio 1 that is
// the plain one-pixel plot. Other ratios are not plotted (Attach fails).
//
// Lines wait in a short queue before they are plotted, and the pixels a line
// will write are fetched into the cache as it joins the queue: scattered
// short lines then find their pixels at hand instead of stalling on every
// row. The queue keeps the order, and is emptied (Flush) before anything
// else may touch the pixels: a circle, a colour change, Detach, and by the
// surface before Qt draws.

#include <QImage>
#include <algorithm>
#include <cstdlib>

class DirectPlotter {
public:
  // Plots on `image` (not owned; it must stay alive and unshared while
  // attached). False, and detached, when the image is not 32-bit or its
  // device pixel ratio is not a whole number from 1 to 4.
  bool Attach(QImage* image);
  void Detach() {
    Flush();
    bits = nullptr;
  }
  bool Attached() const { return bits != nullptr; }
  void SetColour(QRgb c) {
    if (c == colour) return;
    Flush();
    colour = c;
  }

  // Whether a logical point lies inside the image.
  bool Contains(long long x, long long y) const { return x >= 0 && y >= 0 && x < w && y < h; }

  // A line from (x1, y1) up to, not including, (x2, y2) (Bresenham); both
  // points lie inside the image. It is plotted by the time the queue is
  // flushed.
  void Line(int x1, int y1, int x2, int y2) {
    if (queued == kQueue) plotOldest();
    if (scale == 1) prefetch(x1, y1, x2, y2);
    queue[(head + queued) % kQueue] = Segment{x1, y1, x2, y2};
    ++queued;
  }
  // Plots every queued line, oldest first.
  void Flush() {
    while (queued) plotOldest();
  }

  // The whole circle of radius r in the square whose top-left corner is
  // (x0, y0) (midpoint circle), clipped to the image; false, drawing
  // nothing, for a radius that is not a whole number or is above 16384.
  bool Circle(double x0, double y0, double r);

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
    if (scale == 1)
      line1(l.x1, l.y1, l.x2, l.y2);
    else
      lineN(l.x1, l.y1, l.x2, l.y2);
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
  void lineN(int x1, int y1, int x2, int y2);
  // Device rows y0 to y1, columns x0 to x1 (inclusive), inside the image.
  void fillRows(long long y0, long long y1, long long x0, long long x1);
  // An n x n block whose top-left corner is the device point (x, y), clipped
  // to the image when `clip`.
  void block(long long x, long long y, bool clip);

  uchar* bits = nullptr;
  qsizetype stride = 0;
  long long w = 0, h = 0;  // logical size
  int scale = 1;           // device pixels a logical pixel
  QRgb colour = 0;
  Segment queue[kQueue];
  int head = 0;    // the oldest queued line
  int queued = 0;  // lines waiting
};
