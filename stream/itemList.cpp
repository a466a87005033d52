#include "stream/itemList.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "base/HugePages.h"

namespace {

// The most items a slab holds: as many as fill one block of 2 MiB.
constexpr int kSlabItems = static_cast<int>(kHugePageBytes / sizeof(zvItem));

}  // namespace

itemList::itemList(int upper) {
  const int first = std::clamp(upper + 1, 1, kSlabItems);
  slabs_.reserve(64);
  slabs_.push_back(makeSlab(first, 0));
  Flush();
}

itemList::~itemList() {
  for (const Slab& s : slabs_) freeSlab(s);
}

itemList::Slab itemList::makeSlab(int size, int first) {
  Slab slab{nullptr, size, first, false};
  if (size == kSlabItems) {
    void* memory = ahead_.Take();
    if (!memory) {
      memory = MapPresentPages(kHugePageBytes);
      if (!memory) throw std::bad_alloc();
    }
    slab.items = static_cast<zvItem*>(memory);
    slab.mapped = true;
  } else {
    slab.items = static_cast<zvItem*>(::operator new(static_cast<std::size_t>(size) * sizeof(zvItem)));
  }
  // The slab after this one is a full-size slab: a list grown this far
  // likely needs it, so it is made meanwhile.
  if (aheadOn_ && 2LL * size >= kSlabItems) ahead_.Start();
  return slab;
}

void itemList::freeSlab(const Slab& slab) const noexcept {
  const int built = strings_ ? std::clamp(built_ - slab.first, 0, slab.size) : 0;
  for (int i = 0; i < built; ++i) slab.items[i].~zvItem();
  if (slab.mapped)
    UnmapHugePages(slab.items, kHugePageBytes);
  else
    ::operator delete(slab.items);
}

void itemList::nextSlab() {
  if (tailSlab_ + 1 == slabs_.size()) {
    // Room for the slab's entry first, so that a failure leaves the list as
    // it was.
    if (slabs_.size() == slabs_.capacity()) slabs_.reserve(2 * slabs_.capacity());
    const Slab& last = slabs_.back();
    const int size = static_cast<int>(std::min<long long>(2LL * last.size, kSlabItems));
    slabs_.push_back(makeSlab(size, last.first + last.size));
  }
  ++tailSlab_;
  tail_ = slabs_[tailSlab_].items;
  tailOffset_ = 0;
  tailSize_ = slabs_[tailSlab_].size;
}

zvItem& itemList::operator[](int index) {
  // The last slab whose first slot is at or before the index.
  auto it =
      std::upper_bound(slabs_.begin(), slabs_.end(), index, [](int i, const Slab& s) { return i < s.first; });
  const Slab& s = *(it - 1);
  return s.items[index - s.first];
}

void itemList::ForEach(IterFunc f, void* arg, int start, int stop) {
  start = std::max(start, 0);
  stop = std::min(stop, count_);
  if (start >= stop) return;
  auto it =
      std::upper_bound(slabs_.begin(), slabs_.end(), start, [](int i, const Slab& s) { return i < s.first; });
  for (auto s = it - 1; start < stop; ++s) {
    const int end = std::min(stop, s->first + s->size);
    for (int i = start; i < end; ++i) f(s->items[i - s->first], arg);
    start = end;
  }
}
