#pragma once
// The display list cut into runs of kItems items, each summed up as the
// calls its rendering makes (CallRun) after its last item that changes
// the context's state, and into groups of kGroupRuns runs, each summed up
// from its runs, so that a replay can offer a run's items after its
// attribute items, or a whole group, to the surface to pass over.
// Summaries are made when a replay asks for them, once all their items are
// held, and kept until the list is flushed: items never change once
// stored.

#include <vector>

#include "framework/surface/CallRun.h"
#include "stream/itemList.h"

class ListRuns {
public:
  static constexpr int kItems = 256;
  static constexpr int kGroupRuns = 16;
  static constexpr int kGroupItems = kItems * kGroupRuns;

  struct Run {
    // The calls of the run's items from `from` on (0 to kItems), after the
    // last of its items that changes state.
    CallRun calls;
    int from = 0;
    bool made = false;
  };

  // The summary of run `run` (items run * kItems to run * kItems + kItems
  // - 1, all held by `list`), made now if `make` says so; null when it is
  // not made or there is no memory for it.
  const Run* RunOf(itemList& list, int run, bool make) {
    const auto i = static_cast<std::size_t>(run);
    if (flushes_ == list.Flushes() && i < runs_.size() && runs_[i].made) return &runs_[i];
    return make ? makeRun(list, run) : nullptr;
  }
  // The same for the calls of group `group` (items group * kGroupItems
  // on), which change state when any of its items does.
  const CallRun* GroupOf(itemList& list, int group, bool make) {
    const auto i = static_cast<std::size_t>(group);
    if (flushes_ == list.Flushes() && i < groups_.size() && groups_[i].made) return &groups_[i].calls;
    return make ? makeGroup(list, group) : nullptr;
  }
  // The summary of items first to stop - 1, made afresh (a part of a run).
  static Run Sum(itemList& list, int first, int stop);

private:
  struct Group {
    CallRun calls;
    bool made = false;
  };
  // Forgets every summary when the list was flushed since they were made.
  void follow(const itemList& list);
  const Run* makeRun(itemList& list, int run);
  const CallRun* makeGroup(itemList& list, int group);

  std::vector<Run> runs_;
  std::vector<Group> groups_;
  unsigned flushes_ = 0;
};
