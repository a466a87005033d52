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
  summing.run.made = true;
  return summing.run;
}

void ListRuns::follow(const itemList& list) {
  if (flushes_ == list.Flushes()) return;
  runs_.clear();
  groups_.clear();
  flushes_ = list.Flushes();
}

const ListRuns::Run* ListRuns::makeRun(itemList& list, int run) {
  follow(list);
  const auto i = static_cast<std::size_t>(run);
  if ((static_cast<long long>(run) + 1) * kItems > list.Count()) return nullptr;
  try {
    if (runs_.size() <= i) runs_.resize(i + 1);
  } catch (const std::bad_alloc&) {
    return nullptr;  // the replay makes the calls instead
  }
  runs_[i] = Sum(list, run * kItems, (run + 1) * kItems);
  return &runs_[i];
}

const CallRun* ListRuns::makeGroup(itemList& list, int group) {
  follow(list);
  const auto i = static_cast<std::size_t>(group);
  try {
    if (groups_.size() <= i) groups_.resize(i + 1);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  CallRun calls;
  for (int r = group * kGroupRuns; r < (group + 1) * kGroupRuns; ++r) {
    const Run* run = RunOf(list, r, true);
    if (!run) return nullptr;
    if (run->from > 0) calls.ChangesState();
    calls.Append(run->calls);
  }
  groups_[i] = Group{calls, true};
  return &groups_[i].calls;
}
