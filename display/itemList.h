#pragma once
// The growable, ordered array of display items. Capacity starts at 1001
// items and grows in steps of 100 (1001, 1101, 1201, ...), as callers see it
// through Limit(). The storage is segmented: the first block holds the first
// 1001 items and every later block 100, so an append never copies the items
// already held and costs amortised O(1), and items never move once stored.

#include <memory>
#include <vector>

#include "items/zvItem.h"

class itemList {
public:
  using IterFunc = void (*)(zvItem& item, void* arg);

  // upper: the highest index of the first block (1000 gives 1001 slots);
  // delta: the growth step.
  explicit itemList(int upper = 1000, int delta = 100);
  itemList(const itemList&) = delete;
  itemList& operator=(const itemList&) = delete;
  ~itemList();

  // Appends a copy (by assignment into the next slot); returns 1. Throws
  // std::bad_alloc when memory for a new block runs out; the list is then
  // unchanged.
  int Add(const zvItem& item) {
    if (tailOffset_ == tailSize_) nextBlock();
    tail_[tailOffset_] = item;
    ++tailOffset_;
    ++count_;
    return 1;
  }
  int Count() const { return count_; }
  // The number of slots allocated.
  int Limit() const { return limit_; }
  // Calls f(item, arg) on the items with indexes start to stop - 1, in order.
  // The bounds are clamped to the items held.
  void ForEach(IterFunc f, void* arg, int start, int stop);
  // Empties the list: the count becomes 0; the storage stays allocated.
  void Flush() {
    count_ = 0;
    tailBlock_ = 0;
    tail_ = blocks_[0].get();
    tailOffset_ = 0;
    tailSize_ = first_;
  }

  zvItem& operator[](int index);

private:
  // Moves the tail to the start of the next block, allocating it when the
  // list is full.
  void nextBlock();
  // The block and offset of a slot index.
  void locate(int index, std::size_t& block, int& offset) const;

  int first_;  // slots of the first block
  int delta_;  // slots of every later block
  int count_ = 0;
  int limit_ = 0;
  std::vector<std::unique_ptr<zvItem[]>> blocks_;
  // Where the next item goes: the block (its index, slots and size) and the
  // offset within it.
  std::size_t tailBlock_ = 0;
  zvItem* tail_ = nullptr;
  int tailOffset_ = 0;
  int tailSize_ = 0;
};
