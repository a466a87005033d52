#include "display/itemList.h"

#include <algorithm>

itemList::itemList(int upper, int delta) : first_(std::max(upper + 1, 1)), delta_(std::max(delta, 1)) {
  blocks_.push_back(std::make_unique<zvItem[]>(static_cast<std::size_t>(first_)));
  limit_ = first_;
  Flush();
}

itemList::~itemList() = default;

void itemList::locate(int index, std::size_t& block, int& offset) const {
  if (index < first_) {
    block = 0;
    offset = index;
  } else {
    block = 1 + static_cast<std::size_t>((index - first_) / delta_);
    offset = (index - first_) % delta_;
  }
}

void itemList::nextBlock() {
  if (count_ == limit_) {
    // Make room for the block pointer first so that a failure leaves the
    // list as it was; the pointer table doubles, so it too grows in
    // amortised O(1).
    if (blocks_.size() == blocks_.capacity())
      blocks_.reserve(std::max<std::size_t>(16, 2 * blocks_.capacity()));
    blocks_.push_back(std::make_unique<zvItem[]>(static_cast<std::size_t>(delta_)));
    limit_ += delta_;
  }
  ++tailBlock_;
  tail_ = blocks_[tailBlock_].get();
  tailOffset_ = 0;
  tailSize_ = delta_;
}

zvItem& itemList::operator[](int index) {
  std::size_t block;
  int offset;
  locate(index, block, offset);
  return blocks_[block][static_cast<std::size_t>(offset)];
}

void itemList::ForEach(IterFunc f, void* arg, int start, int stop) {
  start = std::max(start, 0);
  stop = std::min(stop, count_);
  if (start >= stop) return;
  std::size_t block;
  int offset;
  locate(start, block, offset);
  for (int i = start; i < stop; ++block, offset = 0) {
    zvItem* slots = blocks_[block].get();
    const int size = block == 0 ? first_ : delta_;
    const int end = std::min(size, offset + (stop - i));
    for (int k = offset; k < end; ++k) f(slots[k], arg);
    i += end - offset;
  }
}
