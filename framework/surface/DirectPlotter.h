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
// Lines inside the image wait in a batch before they are plotted. They
// all have one colour, so the order in which they are plotted changes no
// pixel: a batch is plotted band of rows by band of rows, and the rows of
// a band stay in the cache while its lines are plotted, where lines
// scattered over the image would each stall on every row. The batch is
// emptied (Flush) before anything else may touch the pixels: every other
// drawing here, a change of colour or block, Detach, and by the surface
// before Qt draws.

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <memory>

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
  // for the whole curve (which starts at the ray to the right and runs
  // clockwise as seen).
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
  // ends lie inside the image. Plotted by the time the batch is flushed.
  void Line(int x1, int y1, int x2, int y2) {
    // A long line gains nothing from the batch: its rows are many, and
    // each is visited once. With the batch's colour, it may go at once.
    if (block == 1 && std::abs(y2 - y1) > kBandRows) {
      line1(x1, y1, x2, y2);
      return;
    }
    if (batched == kBatch) Flush();
    batch[batched++] = Segment{x1, y1, x2, y2};
  }
  // The same for any line (coordinates up to 2^40 in size): the part of it
  // inside the image, plotted at once. With a pattern, dashed from
  // `phase` steps into it.
  void ClippedLine(long long x1, long long y1, long long x2, long long y2, const Dash* dash = nullptr,
                   long long phase = 0);
  // Plots every line in the batch.
  void Flush() {
    if (batched) plotBatch();
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
  // Lines a batch holds at most, and the rows of a band.
  static constexpr int kBatch = 8192;
  static constexpr int kBandShift = 5;
  static constexpr int kBandRows = 1 << kBandShift;

  QRgb* row(long long y) const { return reinterpret_cast<QRgb*>(bits + y * stride); }
  void plotBatch();
  // Bresenham with one loop for each major axis: the major coordinate steps
  // at every pixel, the minor one when the error term says so. These are the
  // pixels of the textbook two-test loop, with one branch a pixel less. On
  // short lines, whose rows a batch finds in the cache, the minor step is
  // taken without a branch (a random slope mispredicts it often); long
  // lines wait on memory, and there the branch lets the loop run ahead.
  void line1(int x, int y, int xe, int ye) const {
    const int dx = std::abs(xe - x), dy = std::abs(ye - y);
    const qsizetype rowStep = stride / 4;
    const qsizetype sx = x < xe ? 1 : -1, sy = y < ye ? rowStep : -rowStep;
    QRgb* p = row(y) + x;
    const QRgb c = colour;
    constexpr int kShort = 64;
    if (dx >= dy) {
      if (dx <= kShort) {
        // The loop's err below, at 2 err <= dx, steps across: f = 2 err -
        // dx - 1 is below 0 then.
        int f = dx - 2 * dy - 1;
        for (int n = dx; n > 0; --n) {
          *p = c;
          p += sx;
          const int step = f >> 31;  // -1 when stepping across, else 0
          f += (2 * dx & step) - 2 * dy;
          p += sy & step;
        }
        return;
      }
      int err = dx - dy;
      for (int n = dx; n > 0; --n) {
        *p = c;
        p += sx;
        err -= dy;
        if (2 * (err + dy) <= dx) {
          err += dx;
          p += sy;
        }
      }
      return;
    }
    if (dy <= kShort) {
      // Along y the step comes at 2 err >= -dy: g = -2 err - dy - 1 below 0.
      int g = dy - 2 * dx - 1;
      for (int n = dy; n > 0; --n) {
        *p = c;
        p += sy;
        const int step = g >> 31;
        g += (2 * dy & step) - 2 * dx;
        p += sx & step;
      }
      return;
    }
    int err = dx - dy;
    for (int n = dy; n > 0; --n) {
      *p = c;
      p += sy;
      err += dx;
      if (2 * (err - dx) >= -dy) {
        err -= dy;
        p += sx;
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
  // The batch, and room to sort it (made when first attached).
  std::unique_ptr<Segment[]> batch, sorted;
  int batched = 0;  // lines in the batch
};
