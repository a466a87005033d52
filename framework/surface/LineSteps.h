#pragma once
// The points of a Bresenham line in closed form, so that a line can be
// plotted from any of its steps: the part of it inside an image then lights
// exactly the pixels the whole line lights there, whatever the image's size.
//
// From (x1, y1) towards (x2, y2), the coordinate of the longer axis (the
// major one) moves one at every step; at step k the other has moved
//   floor((2 k minorSpan + majorSpan) / (2 majorSpan))
// (halves rounded away from the start), which are the points of the
// textbook loop
//   err = dx - dy; e2 = 2 err; if (e2 >= -dy) step x; if (e2 <= dx) step y.
// Coordinates may be anything up to 2^40 in size; the set-up works in 128
// bits, the steps in 64.

#include <cstdint>

namespace raster {

struct LineTrace {
  bool alongX = true;
  long long x = 0, y = 0;    // the start
  long long sx = 1, sy = 1;  // the direction of each axis: 1 or -1
  long long major = 0;       // steps along the major axis
  long long minor = 0;       // span along the other
};

LineTrace TraceOf(long long x1, long long y1, long long x2, long long y2);

// A point of the trace at step k, with the remainder that carries the
// minor coordinate on: rem = (2 k minor + major) mod (2 major), in
// [0, 2 major). From one step to the next, rem grows by 2 minor and the
// minor coordinate moves when it reaches 2 major (then less 2 major).
struct TracePoint {
  long long x, y, rem;
};
TracePoint PointAt(const LineTrace& t, long long k);

// The steps from `first` to `last` whose points lie in the box
// x0 <= x <= x1, y0 <= y <= y1: [from, to], empty when from > to.
struct StepRange {
  long long from, to;
};
StepRange StepsWithin(const LineTrace& t, long long first, long long last, long long x0, long long y0,
                      long long x1, long long y1);

}  // namespace raster
