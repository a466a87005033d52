#pragma once
// Tells its owner, from the event loop, that a file it holds open has
// changed: bytes were written to it or it was cut shorter. The watch follows
// the file the descriptor refers to, not a name, so renaming or unlinking
// the name later changes nothing; a FIFO is watched like a regular file.
//
// Uses the system's file-change notification. Changes that arrive before the
// event loop turns are reported by one call, and a writer hanging up is no
// change: nothing is reported until the next write.
//
// Fails soft: where no watch can be set up (no notification support, the
// descriptor or watch limits reached, no /proc), Watch returns false and
// nothing is ever reported, so an owner keeps its own timer as the fallback.
// A network file system may accept the watch and report only writes made on
// this machine.

#include <functional>
#include <memory>

class TFileWatch {
public:
  TFileWatch();
  // Stops the watch; also safe from inside the watch's own call.
  ~TFileWatch();
  TFileWatch(const TFileWatch&) = delete;
  TFileWatch& operator=(const TFileWatch&) = delete;

  // Watches the file open on `fd` (which stays the caller's) and calls
  // `onChange` from the event loop after every change, replacing a previous
  // watch. An exception from `onChange` goes to the application's
  // SuspendThrow as any other delivery's. False when no watch could be set
  // up; then nothing is reported. Needs the window system's application
  // object.
  bool Watch(int fd, std::function<void()> onChange);
  // Ends the watch; nothing is reported afterwards.
  void Stop();
  bool IsWatching() const;

#ifdef ZORVA_TEST_HOOKS
  // Process-wide: whether Watch sets up watches at all (true unless
  // changed). A benchmark turns it off, to measure a timer alone; watches
  // already set up are not affected.
  static void SetEnabled(bool on);
#endif

private:
  struct Impl;
  std::unique_ptr<Impl> impl;
};
