#pragma once
// The display list cut into runs of kItems items, each summed up as the
// calls its rendering makes (CallRun), so that a replay can offer a whole
// run to the surface to skip. A run is summed up the first time a replay
// asks for it, once all its items are held, and kept until the list is
// flushed: items never change once stored.

#include <vector>

#include "framework/surface/CallRun.h"
#include "stream/itemList.h"

class ListRuns {
public:
  static constexpr int kItems = 256;

  // The summary of run `run` (items run * kItems to run * kItems + kItems
  // - 1, all held by `list`); null when there is no memory for it.
  const CallRun* Of(itemList& list, int run) {
    if (flushes_ == list.Flushes() && static_cast<std::size_t>(run) < runs_.size())
      return &runs_[static_cast<std::size_t>(run)];
    return make(list, run);
  }

private:
  // Sums up the runs up to `run`, after a flush from the first.
  const CallRun* make(itemList& list, int run);

  std::vector<CallRun> runs_;
  unsigned flushes_ = 0;
};
