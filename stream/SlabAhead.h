#pragma once
// One block of memory for the display list, mapped with all its pages
// present on a worker thread while the list fills the block before it.
// Fresh memory is zeroed by the kernel when its pages are made present; for
// a list of millions of items that is a large share of the time spent
// storing them. Done ahead on another core, it runs beside the reading and
// parsing instead of stalling them.
//
// The list never waits for the worker: a block that is not ready when the
// list needs one is left to finish and taken the next time, and the list
// maps the block it needs itself. So on a busy machine, where the worker may
// not run for a while, the list is as fast as without it.
//
// At most one block is under way or ready at a time. Everything degrades to
// the caller mapping its blocks itself: when no thread can be started, when
// the mapping fails, or when nothing was started.

#include <atomic>
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
  // The block made ahead (kHugePageBytes from MapPresentPages) if it is
  // ready; null when none was started, it is still under way or its
  // mapping failed. The block is the caller's from then on
  // (UnmapHugePages).
  void* Take() noexcept;
  // As Take, after waiting for a block under way.
  void* Wait() noexcept;

private:
  std::thread worker_;
  std::atomic<bool> done_{false};  // the worker has stored block_
  void* block_ = nullptr;          // written by the worker, read after joining it
};
