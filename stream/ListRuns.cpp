#include "stream/ListRuns.h"

#include <new>

namespace {

struct Summing {
  ListRuns::Run run;
  int items = 0;
};

// Adds an item to the run's calls; an item that changes state starts them
// afresh after it.
void addToRun(zvItem& item, void* summing) {
  auto& s = *static_cast<Summing*>(summing);
  item.AddToRun(s.run.calls);
  ++s.items;
  if (s.run.calls.Changes()) {
    s.run.calls = CallRun();
    s.run.from = s.items;
  }
}

}  // namespace

ListRuns::Run ListRuns::Sum(itemList& list, int first, int stop) {
  Summing summing;
  list.ForEach(addToRun, &summing, first, stop);
  return summing.run;
}

const ListRuns::Run* ListRuns::makeRuns(itemList& list, int run) {
  if (flushes_ != list.Flushes()) {
    runs_.clear();
    groups_.clear();
    flushes_ = list.Flushes();
  }
  if ((static_cast<long long>(run) + 1) * kItems > list.Count()) return nullptr;
  try {
    while (static_cast<int>(runs_.size()) <= run) {
      const int first = static_cast<int>(runs_.size()) * kItems;
      runs_.push_back(Sum(list, first, first + kItems));
    }
  } catch (const std::bad_alloc&) {
    return nullptr;  // the replay makes the calls instead
  }
  return &runs_[static_cast<std::size_t>(run)];
}

const CallRun* ListRuns::makeGroups(itemList& list, int group) {
  if (!makeRuns(list, (group + 1) * kGroupRuns - 1)) return nullptr;
  try {
    while (static_cast<int>(groups_.size()) <= group) {
      CallRun summary;
      const std::size_t first = groups_.size() * kGroupRuns;
      for (std::size_t r = first; r < first + kGroupRuns; ++r) {
        if (runs_[r].from > 0) summary.ChangesState();
        summary.Append(runs_[r].calls);
      }
      groups_.push_back(summary);
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return &groups_[static_cast<std::size_t>(group)];
}
