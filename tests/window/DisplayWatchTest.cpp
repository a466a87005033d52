// The display window runs its polling step when the command file changes,
// exactly when a tick of its poll timer could run it: with the timer armed,
// never once an exit item stopped polling, never while the application holds
// delivery, never after the system window is gone. Timer 1 is re-armed with
// a period of an hour where only the notification may cause a step.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

#include "app/TDrawApp.h"
#include "stream/DisplayState.h"
#include "tests/support/OpenCommandFile.h"
#include "window/TZorvaWindow.h"
#include "framework/report/MessageBox.h"
#include "tests/framework/application/LoopWait.h"

namespace {

constexpr unsigned kAnHour = 3600 * 1000;
constexpr int kStartItems = 7;  // a start item's attribute items

class DisplayWatchTest : public ::testing::Test {
protected:
  void SetUp() override {
    path = testing::TempDir() + "zorva-watch-window-" + std::to_string(::getpid()) + ".zv";
    std::ofstream(path).close();
    previous = SetMessagePresenter([](const std::string&, const std::string&, unsigned) { return IDOK; });
    own = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(own, 0);
  }
  void TearDown() override {
    ::close(own);
    SetMessagePresenter(previous);
    std::remove(path.c_str());
  }
  void append(const std::string& bytes) { std::ofstream(path, std::ios::app | std::ios::binary) << bytes; }
  // Appends, and returns once every watch on the file has had the change.
  void appendAndSettle(const std::string& bytes) {
    AwaitSentinelWatch(own, [&] { append(bytes); });
  }
  TZorvaWindow* makeWindow(TApplication& app) {
    auto* window = new TZorvaWindow("ZORVA daemon", OpenCommandFile(path), state);
    window->Attr.Style &= ~WS_VISIBLE;
    window->Attr.W = 200;
    window->Attr.H = 100;
    app.SetMainWindow(window);
    window->Create();
    window->Invalidate(true);
    window->UpdateWindow();
    return window;
  }

  std::string path;
  int own = -1;  // the test's own descriptor of the command file
  MessagePresenter previous;
  DisplayState state;  // the display's, as the daemon holds it
};

TEST_F(DisplayWatchTest, AnAppendIsDrawnWithoutATickWhileTheTimerIsArmed) {
  TDrawApp app(state);
  TZorvaWindow* window = makeWindow(app);
  const QImage& image = window->ClientImage();
  const int h = image.height();

  ASSERT_TRUE(window->SetTimer(1, kAnHour));
  append("0 0 4 3 255 0 0 6 1 1 2 4 10 20 150 20 ");
  ASSERT_TRUE(RunUntil([this] { return state.displayList.Count() == kStartItems + 3; }));
  EXPECT_EQ(image.pixel(80, h - 20), qRgb(255, 0, 0)) << "drawn into the client image by the step";

  // The step armed the 500 ms timer again; stretch it once more. Every
  // later change runs a step of its own, and a burst of them one step.
  ASSERT_TRUE(window->SetTimer(1, kAnHour));
  for (int i = 0; i < 50; ++i) append("2 4 10 40 150 40 ");
  ASSERT_TRUE(RunUntil([this] { return state.displayList.Count() == kStartItems + 53; }));
  EXPECT_EQ(image.pixel(80, h - 40), qRgb(255, 0, 0));
}

TEST_F(DisplayWatchTest, NoStepOnceAnExitItemStoppedPolling) {
  TDrawApp app(state);
  TZorvaWindow* window = makeWindow(app);
  append("0 0 1 0 ");
  window->HandleMessage(WM_TIMER, 1);
  ASSERT_EQ(state.displayList.Count(), kStartItems);

  appendAndSettle("2 4 10 20 150 20 ");
  EXPECT_EQ(state.displayList.Count(), kStartItems) << "the exit item left polling stopped";
}

TEST_F(DisplayWatchTest, NoStepWhileTheApplicationHoldsDelivery) {
  TDrawApp app(state);
  TZorvaWindow* window = makeWindow(app);
  ASSERT_TRUE(window->SetTimer(1, kAnHour));
  // An exception waiting to be reported holds every delivery back.
  app.SuspendThrow(std::make_exception_ptr(std::runtime_error("waiting for its report")));
  appendAndSettle("0 0 2 4 10 20 150 20 ");
  EXPECT_EQ(state.displayList.Count(), 0);

  EXPECT_THROW(app.ResumeThrow(), std::runtime_error);
  append("2 4 10 40 150 40 ");
  EXPECT_TRUE(RunUntil([this] { return state.displayList.Count() == kStartItems + 2; }))
      << "the next change reads what was held back too";
}

TEST_F(DisplayWatchTest, NoStepAfterTheSystemWindowIsGone) {
  TDrawApp app(state);
  TZorvaWindow* window = makeWindow(app);
  window->Destroy();
  appendAndSettle("0 0 2 4 10 20 150 20 ");
  EXPECT_EQ(state.displayList.Count(), 0);
}

}  // namespace
