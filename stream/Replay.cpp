#include "stream/Replay.h"

#include <algorithm>

#include "framework/gdi/TClientDC.h"
#include "items/ItemDisplay.h"
#include "stream/DisplayState.h"

void ReplayDisplayList(DisplayState& state, TClientDC& dc) {
  DisplayTarget target{&dc, &state};
  ReplayItems(state, target, 0, state.displayList.Count());
}

void ReplayItems(DisplayState& state, DisplayTarget& target, int start, int stop) {
  constexpr int kRun = ListRuns::kItems;
  itemList& list = state.displayList;
  start = std::max(start, 0);
  stop = std::min(stop, list.Count());
  // What the context could show: asked for once, and again after any run
  // that may change more than the current position, which the runs'
  // summaries tell.
  CallSight sight;
  bool seeing = false;
  // Whether runs passed over moved the current position (to the sight's).
  bool passed = false;
  while (start < stop) {
    const int end = std::min(stop, (start / kRun + 1) * kRun);
    const CallRun* run = nullptr;
    if (start % kRun == 0 && end - start == kRun) {
      run = state.listRuns.Of(list, start / kRun);
      if (run && !run->Changes()) {
        if (!seeing) seeing = target.dc->Sight(sight);
        if (seeing && run->OutOf(sight)) {
          if (run->Moves()) {
            sight.curX = run->EndX();
            sight.curY = run->EndY();
            passed = true;
          }
          start = end;
          continue;
        }
      }
    }
    if (passed) {
      target.dc->PassedTo(sight.curX, sight.curY);
      passed = false;
    }
    list.ForEach(DisplayItem, &target, start, end);
    start = end;
    if (run && !run->Changes() && seeing) {
      if (run->Moves()) {
        sight.curX = run->EndX();
        sight.curY = run->EndY();
      }
    } else {
      seeing = false;
    }
  }
  if (passed) target.dc->PassedTo(sight.curX, sight.curY);
}
