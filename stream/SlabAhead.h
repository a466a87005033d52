#pragma once
// One block of memory for the display list, mapped with all its pages
// present on a worker thread while the list fills the block before it.
// Fresh memory is zeroed by the kernel when its pages are made present; for
// a list of millions of items that is a large share of the time spent
// storing them. Done ahead on another core, it runs beside the reading and
// parsing instead of stalling them.
//
// At most one block is under way or ready at a time. Everything degrades to
// the caller mapping the block itself: when no thread can be started, when
// the mapping fails, or when nothing was started.

#include <thread>

class SlabAhead {
public:
  SlabAhead() = default;
  SlabAhead(const SlabAhead&) = delete;
  SlabAhead& operator=(const SlabAhead&) = delete;
  // Waits for a block under way and unmaps a block never taken.
  ~SlabAhead();

  // Begins making the next block, unless one is already under way or ready.
  void Start() noexcept;
  // The block made ahead (kHugePageBytes from MapPresentPages), after
  // waiting for it to be done; null when none was started or its mapping
  // failed. The block is the caller's from then on (UnmapHugePages).
  void* Take() noexcept;

private:
  std::thread worker_;
  void* block_ = nullptr;  // written by the worker, read after joining it
};
