#pragma once
// Running the event loop in a test without its application's main loop:
// until something happened (with a watchdog), for a few turns, or until a
// change of a file has surely been seen by every watch on it.

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <functional>

#include "framework/application/FileWatch.h"

// Runs the event loop until `done` holds; the watchdog fails the test after
// ten seconds.
inline bool RunUntil(const std::function<bool()>& done) {
  bool expired = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&expired] { expired = true; });
  watchdog.start(10000);
  while (!done() && !expired) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  if (!done()) ADD_FAILURE() << "watchdog: what the test waited for did not happen";
  return done();
}

// Turns of the event loop that dispatch whatever is ready, without waiting.
inline void Turns(int n) {
  for (int i = 0; i < n; ++i) QCoreApplication::processEvents();
}

// Sets up a second watch on the file that `fd` holds, runs `write` and waits
// for that watch's call. An event of the same write is then ready for every
// other watch too, so the few turns after it show whether another watch (or
// what it drives) reacts to the write.
inline void AwaitSentinelWatch(int fd, const std::function<void()>& write) {
  TFileWatch sentinel;
  int calls = 0;
  ASSERT_TRUE(sentinel.Watch(fd, [&calls] { ++calls; }));
  write();
  RunUntil([&calls] { return calls > 0; });
  Turns(20);
}
