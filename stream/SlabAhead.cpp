#include "stream/SlabAhead.h"

#include "base/HugePages.h"

SlabAhead::~SlabAhead() { UnmapHugePages(Take(), kHugePageBytes); }

void SlabAhead::Start() noexcept {
  if (worker_.joinable() || block_) return;
  try {
    worker_ = std::thread([this] { block_ = MapPresentPages(kHugePageBytes); });
  } catch (...) {
    // No thread to be had: the caller maps its blocks itself.
  }
}

void* SlabAhead::Take() noexcept {
  if (worker_.joinable()) worker_.join();
  void* block = block_;
  block_ = nullptr;
  return block;
}
