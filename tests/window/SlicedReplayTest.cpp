// Replays in slices draw exactly what one unsliced replay draws: the same
// calls in the same order, also when items, clears and starts arrive while a
// replay is unfinished (they are read after its last slice), and a resize
// drops what is left of a replay for its own.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QWidget>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/TDrawApp.h"
#include "framework/report/MessageBox.h"
#include "framework/surface/RecordingSurface.h"
#include "stream/DisplayState.h"
#include "tests/framework/application/LoopWait.h"
#include "tests/support/OpenCommandFile.h"
#include "window/TZorvaWindow.h"

namespace {

using std::chrono::hours;
using std::chrono::nanoseconds;

std::string lines(int n, int seed) {
  std::string text;
  for (int i = 0; i < n; ++i)
    text += "2 4 " + std::to_string((i * 7 + seed) % 300) + " " + std::to_string(i % 200) + " " +
            std::to_string((i * 13 + seed) % 300) + " 9 ";
  return text;
}

class SlicedReplayTest : public ::testing::Test {
protected:
  void SetUp() override {
    path = testing::TempDir() + "zorva-sliced-" + std::to_string(::getpid()) + ".zv";
    std::ofstream(path).close();
    previous = SetMessagePresenter([](const std::string&, const std::string&, unsigned) { return 1; });
  }
  void TearDown() override {
    SetMessagePresenter(previous);
    std::remove(path.c_str());
  }
  void append(const std::string& bytes) { std::ofstream(path, std::ios::app | std::ios::binary) << bytes; }

  // The trace of a script run with the given slice length: a start item and
  // many lines, whose replay is still running when more items, a text in
  // another font, a clear and a start arrive and a tick reads them.
  std::string run(nanoseconds slice, int* slices = nullptr, bool resize = false) {
    std::ofstream(path, std::ios::trunc).close();
    std::ostringstream trace;
    DisplayState state;
    {
      TDrawApp app(state);
      auto* window = new TZorvaWindow("ZORVA daemon", OpenCommandFile(path), state);
      window->UseSurface(std::make_unique<RecordingSurface>(trace));
      // Shown only where it is resized: a hidden window gets no resize.
      if (!resize) window->Attr.Style &= ~WS_VISIBLE;
      window->Attr.W = 320;
      window->Attr.H = 240;
      app.SetMainWindow(window);
      window->Create();
      window->SetSlice(slice);
      if (resize) RunUntil([&] {
          app.PumpWaitingMessages();
          return window->Idle() && !app.IsPosted(window, WM_PAINT);
        });
      append("0 0 4 3 255 0 0 " + lines(6000, 1));
      window->HandleMessage(WM_TIMER, 1);
      // Until the start's paint request is delivered: its replay then runs,
      // in slices or, unsliced, to its end.
      bool delivered = false;
      RunUntil([&] {
        if (!delivered && app.IsPosted(window, WM_PAINT)) {
          app.PumpWaitingMessages();
          delivered = true;
        }
        return delivered;
      });
      const bool replaying = window->Replaying();
      if (resize) {
        // A resize drops what is left of the replay for its own.
        window->TopLevelWidget()->resize(300, 300);
        RunUntil([&] {
          app.PumpWaitingMessages();
          return window->Idle() && !app.IsPosted(window, WM_PAINT);
        });
        trace << "-- resized\n";
      }
      // More items, a text in another font, a clear and a start, read by a
      // tick, then one more paint request: during a sliced replay they
      // wait for its end.
      append("8 1 30 3 4 10 10 2 hi " + lines(50, 2) + "12 0 " + lines(50, 3) + "0 0 " + lines(50, 4));
      window->HandleMessage(WM_TIMER, 1);
      window->PostMessage(WM_PAINT);
      int turns = 0;
      RunUntil([&] {
        app.PumpWaitingMessages();
        ++turns;
        return !window->Replaying() && !app.IsPosted(window, WM_PAINT) && window->Idle();
      });
      if (slices) *slices = replaying ? turns : 0;
      if (slices) *slices = turns;
      app.SetMainWindow(nullptr);
      delete window;
    }
    return trace.str();
  }

  // On a hidden window a polling step of a start item and 20,000 lines
  // pauses after its first read; then `paints` paint cycles of corners run,
  // the first of which begins a replay and the others wait for it. The
  // items in the list once the window is idle again; -1 when it never is.
  int pausedStepThenPaints(int paints) {
    DisplayState state;
    TDrawApp app(state);
    auto* window = new TZorvaWindow("ZORVA daemon", OpenCommandFile(path), state);
    window->Attr.Style &= ~WS_VISIBLE;
    app.SetMainWindow(window);
    window->Create();
    window->SetSlice(nanoseconds(0));
    append("0 0 " + lines(20000, 5));
    window->HandleMessage(WM_TIMER, 1);  // pauses after its first read
    EXPECT_FALSE(window->Idle());
    for (int i = 0; i < paints; ++i) {
      window->InvalidateRect(TRect{20 * i, 20 * i, 20 * i + 20, 20 * i + 20}, i == 0);
      window->UpdateWindow();  // the paint cycle, as an exposure of a corner runs it
      EXPECT_TRUE(window->Replaying());
    }
    bool idle = false;
    for (int turn = 0; turn < 100000 && !idle; ++turn) {
      app.PumpWaitingMessages();
      idle = window->Idle() && !app.IsPosted(window, WM_PAINT);
    }
    const int items = idle ? state.displayList.Count() : -1;
    app.SetMainWindow(nullptr);
    delete window;
    return items;
  }

  std::string path;
  MessagePresenter previous;
};

TEST_F(SlicedReplayTest, SlicedRunsDrawWhatOneUnslicedReplayDraws) {
  const std::string whole = run(hours(1));
  int slices = 0;
  const std::string sliced = run(nanoseconds(0), &slices);
  EXPECT_GT(slices, 3) << "the replay ran in several slices";
  if (sliced.size() != whole.size()) {
    std::ofstream("/tmp/whole.txt") << whole;
    std::ofstream("/tmp/sliced.txt") << sliced;
  }
  ASSERT_EQ(sliced.size(), whole.size());
  EXPECT_TRUE(sliced == whole) << "the traces differ";
  EXPECT_NE(whole.find("TextOutA(10,-10,\"hi\",2)"), std::string::npos) << "the items that waited were drawn";
}

TEST_F(SlicedReplayTest, AResizeDuringAReplayEndsInTheWholeReplayOfTheNewSize) {
  const std::string whole = run(hours(1), nullptr, true);
  const std::string sliced = run(nanoseconds(0), nullptr, true);
  // Before the resize the sliced run drew only part of the replay; at the
  // new size both end with the erase and the whole replay of the list.
  const auto last = [](const std::string& t) {
    const std::size_t end = t.find("-- resized");
    const std::size_t at = end == std::string::npos ? end : t.rfind("EraseBkgnd(0,0,300,", end);
    return at == std::string::npos ? std::string() : t.substr(at, end - at);
  };
  ASSERT_FALSE(last(whole).empty());
  EXPECT_GT(last(whole).size(), 6000u * 20) << "the whole list";
  EXPECT_TRUE(last(sliced) == last(whole));
  EXPECT_LT(sliced.find("-- resized"), whole.find("-- resized")) << "the sliced replay was cut short";
}

// A paint during a paused step replays at once; the rest of the step waits
// for the replay's end and then goes on to the file's end.
TEST_F(SlicedReplayTest, AStepThatAReplayInterruptedGoesOnAfterIt) {
  EXPECT_EQ(pausedStepThenPaints(1), 7 + 20000);
}

// A paint that comes during the replay before the paused step's rest does
// not keep that rest waiting behind it: the step goes on to the file's end.
TEST_F(SlicedReplayTest, AStepGoesOnWhenAPaintWaitsBeforeItsRest) {
  EXPECT_EQ(pausedStepThenPaints(2), 7 + 20000) << "-1: the step's rest stayed behind the waiting paint";
}

}  // namespace
