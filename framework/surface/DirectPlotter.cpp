#include "framework/surface/DirectPlotter.h"

#include <algorithm>

#include "framework/surface/LineSteps.h"

namespace {

// Where a pattern stands at a position: the entry and the steps left in it.
struct DashState {
  int entry = 0;
  long long left = 0;
  DashState(const DirectPlotter::Dash& d, long long position) {
    long long p = position % d.period;
    if (p < 0) p += d.period;
    while (p >= d.len[entry]) p -= d.len[entry++];
    left = d.len[entry] - p;
  }
  bool on() const { return entry % 2 == 0; }
  void step(const DirectPlotter::Dash& d) {
    if (--left > 0) return;
    entry = entry + 1 == d.count ? 0 : entry + 1;
    left = d.len[entry];
  }
};

}  // namespace

bool DirectPlotter::Attach(QImage* image) {
  Detach();
  if (!image) return false;
  const QImage::Format f = image->format();
  if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
    return false;
  // A painter may be drawing into the same buffer; write where it writes
  // (bits() could detach a shared image from it).
  bits = const_cast<uchar*>(image->constBits());
  stride = image->bytesPerLine();
  w = image->width();
  h = image->height();
  return true;
}

void DirectPlotter::fill(long long x0, long long y0, long long x1, long long y1) {
  x0 = std::max(x0, 0LL), y0 = std::max(y0, 0LL);
  x1 = std::min(x1, w - 1), y1 = std::min(y1, h - 1);
  if (x0 > x1) return;
  for (long long y = y0; y <= y1; ++y) std::fill(row(y) + x0, row(y) + x1 + 1, colour);
}

void DirectPlotter::ClippedLine(long long x1, long long y1, long long x2, long long y2, const Dash* dash,
                                long long phase) {
  Flush();
  plotSteps(x1, y1, x2, y2, dash && dash->period > 0 ? dash : nullptr, phase, true);
}

void DirectPlotter::plotSteps(long long x1, long long y1, long long x2, long long y2, const Dash* dash,
                              long long phase, bool clip) {
  const raster::LineTrace t = raster::TraceOf(x1, y1, x2, y2);
  const long long n = block;
  // The last block ends where the end point's block begins.
  raster::StepRange steps{0, t.major - n};
  if (clip) steps = raster::StepsWithin(t, 0, t.major - n, 1 - n, 1 - n, w - 1, h - 1);
  if (steps.from > steps.to) return;
  const raster::TracePoint start = raster::PointAt(t, steps.from);
  const long long twiceMajor = 2 * t.major, twiceMinor = 2 * t.minor;
  long long rem = start.rem;
  DashState pattern = dash ? DashState(*dash, phase + steps.from) : DashState(Dash{2, {1, 1}, 2}, 0);
  if (n == 1) {
    const qsizetype rowStep = stride / 4;
    const qsizetype majorStep = t.alongX ? t.sx : t.sy * rowStep,
                    minorStep = t.alongX ? t.sy * rowStep : t.sx;
    QRgb* p = row(start.y) + start.x;
    for (long long k = steps.to - steps.from + 1; k > 0; --k) {
      if (!dash || pattern.on()) *p = colour;
      if (dash) pattern.step(*dash);
      p += majorStep;
      rem += twiceMinor;
      if (rem >= twiceMajor) {
        rem -= twiceMajor;
        p += minorStep;
      }
    }
    return;
  }
  // Runs of lit blocks along the major axis, each n rows (columns) across.
  long long major = t.alongX ? start.x : start.y, minor = t.alongX ? start.y : start.x;
  const long long majorDir = t.alongX ? t.sx : t.sy, minorDir = t.alongX ? t.sy : t.sx;
  bool running = false;
  long long runFrom = 0, runTo = 0, runMinor = 0;
  const auto endRun = [&] {
    if (!running) return;
    running = false;
    const long long lo = std::min(runFrom, runTo), hi = std::max(runFrom, runTo) + n - 1;
    if (t.alongX)
      fill(lo, runMinor, hi, runMinor + n - 1);
    else
      fill(runMinor, lo, runMinor + n - 1, hi);
  };
  for (long long k = steps.to - steps.from + 1; k > 0; --k) {
    const bool on = !dash || pattern.on();
    if (on && running && minor == runMinor) {
      runTo = major;
    } else {
      endRun();
      if (on) running = true, runFrom = runTo = major, runMinor = minor;
    }
    if (dash) pattern.step(*dash);
    major += majorDir;
    rem += twiceMinor;
    if (rem >= twiceMajor) {
      rem -= twiceMajor;
      minor += minorDir;
    }
  }
  endRun();
}
