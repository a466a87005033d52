#include "stream/ListRuns.h"

#include <new>

namespace {
void addToRun(zvItem& item, void* run) { item.AddToRun(*static_cast<CallRun*>(run)); }
}  // namespace

const CallRun* ListRuns::make(itemList& list, int run) {
  if (flushes_ != list.Flushes()) {
    runs_.clear();
    flushes_ = list.Flushes();
  }
  if ((static_cast<long long>(run) + 1) * kItems > list.Count()) return nullptr;
  try {
    while (static_cast<int>(runs_.size()) <= run) {
      CallRun summary;
      const int first = static_cast<int>(runs_.size()) * kItems;
      list.ForEach(addToRun, &summary, first, first + kItems);
      runs_.push_back(summary);
    }
  } catch (const std::bad_alloc&) {
    return nullptr;  // the replay makes the calls instead
  }
  return &runs_[static_cast<std::size_t>(run)];
}
