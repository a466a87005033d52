#pragma once
// The growable, ordered array of display items; it never refuses an item
// while memory lasts. The storage is a few large slabs: the first holds the
// first 1001 items, each later one twice as many as the one before up to
// 2 MiB of items, mapped with its pages present. An append never copies
// the items already held and costs amortised O(1), items never move once
// stored, and a list of millions of items costs few allocations. A slot
// holds an item from its first append on: slots never filled cost no
// writes.

#include <cstddef>
#include <new>
#include <vector>

#include "stream/SlabAhead.h"
#include "items/zvItem.h"

class itemList {
public:
  using IterFunc = void (*)(zvItem& item, void* arg);

  // upper: the highest index of the first block (1000 gives 1001 slots).
  explicit itemList(int upper = 1000);
  itemList(const itemList&) = delete;
  itemList& operator=(const itemList&) = delete;
  ~itemList();

  // Appends a copy (by assignment into the next slot); returns 1. Throws
  // std::bad_alloc when memory for a new slab runs out; the list is then
  // unchanged.
  int Add(const zvItem& item) {
    if (tailOffset_ == tailSize_) nextSlab();
    zvItem* const slot = tail_ + tailOffset_;
    if (count_ == built_) {
      new (slot) zvItem();  // cannot throw
      ++built_;
    }
    *slot = item;
    strings_ = strings_ || item.HasStr();
    ++tailOffset_;
    ++count_;
    return 1;
  }
  int Count() const { return count_; }
  // Calls f(item, arg) on the items with indexes start to stop - 1, in order.
  // The bounds are clamped to the items held.
  void ForEach(IterFunc f, void* arg, int start, int stop);
  // Empties the list: the count becomes 0; the storage stays.
  void Flush() {
    ++flushes_;
    count_ = 0;
    tailSlab_ = 0;
    tail_ = slabs_[0].items;
    tailOffset_ = 0;
    tailSize_ = slabs_[0].size;
  }

  zvItem& operator[](int index);
  // Counts the Flushes: items once held keep their index and value until
  // the next one.
  unsigned Flushes() const { return flushes_; }

  // Whether full-size slabs are made ahead on a worker thread (the
  // default), or each on the appending thread when it is needed.
  void PrepareAhead(bool ahead) { aheadOn_ = ahead; }

private:
  struct Slab {
    zvItem* items;
    int size;   // slots
    int first;  // the index of its first slot
    bool mapped;
  };
  // Moves the tail to the start of the next slab, making it when the
  // storage is full.
  void nextSlab();
  Slab makeSlab(int size, int first);
  // Ends the items of the slab and gives its memory back.
  void freeSlab(const Slab& slab) const noexcept;

  int count_ = 0;
  unsigned flushes_ = 0;
  // Slots 0 to built_ - 1 hold items (those past the count from before a
  // Flush); the others are raw memory.
  int built_ = 0;
  // Whether a slot was ever given a string: when none was, the items need
  // no ending, and the end of a long list reads none of them.
  bool strings_ = false;
  std::vector<Slab> slabs_;
  // Where the next item goes: the slab (its index and slots) and the offset
  // within it.
  std::size_t tailSlab_ = 0;
  zvItem* tail_ = nullptr;
  int tailOffset_ = 0;
  int tailSize_ = 0;
  // The full-size slab after the newest one, made on a worker thread while
  // the newest one fills.
  SlabAhead ahead_;
  bool aheadOn_ = true;
};
