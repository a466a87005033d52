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
  if (!batch) {
    batch = std::make_unique<Segment[]>(kBatch);
    sorted = std::make_unique<Segment[]>(kBatch);
  }
  bits = const_cast<uchar*>(image->constBits());
  stride = image->bytesPerLine();
  w = image->width();
  h = image->height();
  return true;
}

void DirectPlotter::plotBatch() {
  const int n = batched;
  batched = 0;
  const auto plot = [this](const Segment& l) {
    if (block == 1)
      line1(l.x1, l.y1, l.x2, l.y2);
    else
      plotSteps(l.x1, l.y1, l.x2, l.y2, nullptr, 0, false);
  };
  // A few lines go as they are; more are sorted into bands of rows by
  // their upper end (a counting sort), and plotted band after band.
  if (n < 256) {
    for (int i = 0; i < n; ++i) plot(batch[i]);
    return;
  }
  constexpr int kBands = 512;  // bands beyond the last share it
  int count[kBands + 1] = {};
  const auto bandOf = [](const Segment& l) {
    return std::min(std::min(l.y1, l.y2) >> kBandShift, kBands - 1);
  };
  for (int i = 0; i < n; ++i) ++count[bandOf(batch[i]) + 1];
  for (int b = 0; b < kBands; ++b) count[b + 1] += count[b];
  for (int i = 0; i < n; ++i) sorted[count[bandOf(batch[i])]++] = batch[i];
  for (int i = 0; i < n; ++i) plot(sorted[i]);
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
  const raster::TracePoint start =
      steps.from == 0 ? raster::TracePoint{t.x, t.y, t.major} : raster::PointAt(t, steps.from);
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
  const auto fillRun = [&](long long from, long long to, long long across) {
    const long long lo = std::min(from, to), hi = std::max(from, to) + n - 1;
    if (t.alongX)
      fill(lo, across, hi, across + n - 1);
    else
      fill(across, lo, across + n - 1, hi);
  };
  if (!dash) {
    // Solid: a run ends where the minor coordinate moves.
    long long runFrom = major;
    for (long long k = steps.to - steps.from; k > 0; --k) {
      rem += twiceMinor;
      if (rem >= twiceMajor) {
        rem -= twiceMajor;
        fillRun(runFrom, major, minor);
        minor += minorDir;
        runFrom = major + majorDir;
      }
      major += majorDir;
    }
    fillRun(runFrom, major, minor);
    return;
  }
  bool running = false;
  long long runFrom = 0, runTo = 0, runMinor = 0;
  const auto endRun = [&] {
    if (!running) return;
    running = false;
    fillRun(runFrom, runTo, runMinor);
  };
  for (long long k = steps.to - steps.from + 1; k > 0; --k) {
    const bool on = pattern.on();
    if (on && running && minor == runMinor) {
      runTo = major;
    } else {
      endRun();
      if (on) running = true, runFrom = runTo = major, runMinor = minor;
    }
    pattern.step(*dash);
    major += majorDir;
    rem += twiceMinor;
    if (rem >= twiceMajor) {
      rem -= twiceMajor;
      minor += minorDir;
    }
  }
  endRun();
}
