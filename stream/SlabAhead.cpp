#include "stream/SlabAhead.h"

#include "base/HugePages.h"

SlabAhead::~SlabAhead() { UnmapHugePages(Wait(), kHugePageBytes); }

void SlabAhead::Start() noexcept {
  if (worker_.joinable() || block_) return;
  done_.store(false, std::memory_order_relaxed);
  try {
    worker_ = std::thread([this] {
      block_ = MapPresentPages(kHugePageBytes);
      done_.store(true, std::memory_order_release);
    });
  } catch (...) {
    // No thread to be had: the caller maps its blocks itself.
  }
}

void* SlabAhead::Take() noexcept {
  if (worker_.joinable() && !done_.load(std::memory_order_acquire)) return nullptr;
  return Wait();
}

void* SlabAhead::Wait() noexcept {
  if (worker_.joinable()) worker_.join();
  void* block = block_;
  block_ = nullptr;
  return block;
}
