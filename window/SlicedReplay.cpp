#include "window/SlicedReplay.h"

#include <algorithm>

#include "items/ItemDisplay.h"
#include "stream/DisplayState.h"
#include "stream/Replay.h"

namespace {
constexpr int kMinBatch = 1;
constexpr int kMaxBatch = 4096;
// A batch should take about this long.
constexpr auto kBatchTime = std::chrono::microseconds(500);
}  // namespace

void SlicedReplay::Start(DisplayState& s, TClientDC& c, DrawAttributes* a) {
  state = &s;
  dc = &c;
  attributes = a ? a : &s;
  next = 0;
}

bool SlicedReplay::Run(Clock::time_point until) {
  if (!state) return true;
  DisplayTarget target{dc, attributes};
  const int count = state->displayList.Count();
  while (next < count) {
    const int stop = std::min(count, next + batch);
    const auto begun = Clock::now();
    ReplayItems(*state, target, next, stop);
    next = stop;
    const auto now = Clock::now();
    // The next batch is sized to take about kBatchTime at this batch's pace.
    const auto took = now - begun;
    if (took > 2 * kBatchTime)
      batch = std::max(kMinBatch, batch / 2);
    else if (took < kBatchTime / 2)
      batch = std::min(kMaxBatch, batch * 2);
    if (next < count && now >= until) return false;
  }
  state = nullptr;
  return true;
}
