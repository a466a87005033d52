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
  constexpr int kRun = ListRuns::kItems, kGroup = ListRuns::kGroupItems, kLongPart = 32;
  itemList& list = state.displayList;
  start = std::max(start, 0);
  stop = std::min(stop, list.Count());
  // What the context could show: asked for once, and again after items
  // that may change more than the current position, which the summaries
  // tell.
  CallSight sight;
  bool seeing = false;
  // Whether calls passed over moved the current position (to the sight's).
  bool passed = false;
  // Summaries cost a walk over their items: after one that let nothing be
  // passed over, the next few runs go without new ones, more runs each
  // time, as in a list whose items mostly show (a replay made once, as
  // zorva-render's, then costs hardly more than its calls). Summaries made
  // before are always used.
  constexpr int kMostHoldOff = 8;
  int holdOff = 0, nextHoldOff = 1;
  // The current position as the calls summed up in `calls` leave it.
  const auto follow = [&](const CallRun& calls) {
    if (!calls.Moves()) return;
    sight.curX = calls.EndX();
    sight.curY = calls.EndY();
  };
  // Passes over the items summed up in `calls` when none of them can show.
  const auto pass = [&](const CallRun* calls) {
    if (!calls || calls->Changes()) return false;
    if (!seeing) seeing = target.dc->Sight(sight);
    if (!seeing) return false;
    if (!calls->OutOf(sight)) {
      holdOff = nextHoldOff;
      nextHoldOff = std::min(2 * nextHoldOff, kMostHoldOff);
      return false;
    }
    nextHoldOff = 1;
    passed = passed || calls->Moves();
    follow(*calls);
    return true;
  };
  // Makes the calls of items from to stop - 1.
  const auto make = [&](int from, int to) {
    if (passed) {
      target.dc->PassedTo(sight.curX, sight.curY);
      passed = false;
    }
    list.ForEach(DisplayItem, &target, from, to);
  };
  while (start < stop) {
    if (start % kGroup == 0 && stop - start >= kGroup &&
        pass(state.listRuns.GroupOf(list, start / kGroup, holdOff == 0))) {
      start += kGroup;
      continue;
    }
    const int end = std::min(stop, (start / kRun + 1) * kRun);
    // A part of a run, at the ends of the range, is summed up afresh when
    // long enough that drawing it could cost more.
    ListRuns::Run part;
    const ListRuns::Run* run = nullptr;
    if (start % kRun == 0 && end - start == kRun) {
      run = state.listRuns.RunOf(list, start / kRun, holdOff == 0);
      if (!run && holdOff > 0) --holdOff;
    } else if (end - start >= kLongPart && holdOff == 0) {
      run = &(part = ListRuns::Sum(list, start, end));
    }
    if (!run) {
      make(start, end);
      seeing = false;
      start = end;
      continue;
    }
    // The run's items up to its last that changes state are made; those
    // after it may be passed over.
    const int tail = start + run->from;
    if (tail > start) {
      make(start, tail);
      seeing = false;
    }
    if (tail < end && !pass(&run->calls)) {
      make(tail, end);
      if (seeing) follow(run->calls);
    }
    start = end;
  }
  if (passed) target.dc->PassedTo(sight.curX, sight.curY);
}
