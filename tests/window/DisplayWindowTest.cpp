// The display window and the application object in one process, offscreen,
// with scripted boxes: polling, drawing at the right pixels, paint, resize,
// clear, About, and the close paths that delete the command file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fcntl.h>

#include <QImage>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/TDrawApp.h"
#include "stream/DisplayState.h"
#include "tests/support/OpenCommandFile.h"
#include "window/TZorvaWindow.h"
#include "framework/report/MessageBox.h"
#include "framework/surface/RecordingSurface.h"

namespace {

struct Box {
  std::string text, caption;
  unsigned style;
};

class DisplayWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    path = testing::TempDir() + "zorva-window-" + std::to_string(::getpid()) + ".zv";
    std::ofstream(path).close();
    previous = SetMessagePresenter([this](const std::string& t, const std::string& c, unsigned s) {
      boxes.push_back({t, c, s});
      return static_cast<int>(IDOK);
    });
  }
  void TearDown() override {
    SetMessagePresenter(previous);
    std::remove(path.c_str());
  }
  void append(const std::string& bytes) { std::ofstream(path, std::ios::app | std::ios::binary) << bytes; }
  // A created, hidden display window of the given client size.
  TZorvaWindow* makeWindow(TApplication& app, int w = 200, int h = 100) {
    auto* window = new TZorvaWindow("ZORVA daemon", OpenCommandFile(path), state);
    window->Attr.Style &= ~WS_VISIBLE;
    window->Attr.W = w;
    window->Attr.H = h;
    app.SetMainWindow(window);
    window->Create();
    // The first paint of a shown window erases it to the background.
    window->Invalidate(true);
    window->UpdateWindow();
    return window;
  }
  bool fileExists() const { return ::access(path.c_str(), F_OK) == 0; }

  std::string path;
  std::vector<Box> boxes;
  MessagePresenter previous;
  DisplayState state;  // the display's, as the daemon holds it
};

constexpr QRgb kRed = 0xFFFF0000, kBlack = 0xFF000000;

}  // namespace

TEST_F(DisplayWindowTest, ItemsAreDrawnAtOnceAndReplayedByAPaint) {
  TDrawApp app(state);
  TZorvaWindow* window = makeWindow(app);
  QImage& image = window->ClientImage();
  const int h = image.height();
  ASSERT_GT(h, 30);

  append("0 0 4 3 255 0 0 6 1 1 2 4 10 20 150 20 ");
  window->HandleMessage(WM_TIMER, 1);
  EXPECT_EQ(state.displayList.Count(), 10);
  // Drawn at once in the context's first pen; the posted paint replays the
  // list with its attribute items: a red line 20 pixels above the bottom.
  window->HandleMessage(WM_PAINT);
  EXPECT_EQ(image.pixel(80, h - 20), kRed);
  EXPECT_EQ(image.pixel(80, h - 22), kBlack);
  EXPECT_EQ(image.pixel(160, h - 20), kBlack);

  // A paint with nothing invalid still replays the whole list over the
  // whole client area.
  image.fill(Qt::blue);
  window->HandleMessage(WM_PAINT);
  EXPECT_EQ(image.pixel(80, h - 20), kRed);
  EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 255)) << "a paint does not erase what is valid";
}

TEST_F(DisplayWindowTest, ResizeMovesTheOriginErasesAndReplays) {
  TDrawApp app(state);
  TZorvaWindow* window = makeWindow(app);
  append("0 0 4 3 255 0 0 6 1 1 2 4 10 20 150 20 ");
  window->HandleMessage(WM_TIMER, 1);
  window->HandleMessage(WM_PAINT);
  QImage& image = window->ClientImage();
  image.fill(Qt::blue);  // whatever was on the screen
  window->HandleMessage(WM_SIZE, 0, 0);
  window->UpdateWindow();
  const int h = window->ClientImage().height();
  EXPECT_EQ(window->ClientImage().pixel(5, 5), kBlack) << "erased to the black background";
  EXPECT_EQ(window->ClientImage().pixel(80, h - 20), kRed);
}

TEST_F(DisplayWindowTest, ClearErasesAndKeepsTheAttributes) {
  TDrawApp app(state);
  TZorvaWindow* window = makeWindow(app);
  append("0 0 4 3 255 0 0 6 1 1 2 4 10 20 150 20 ");
  window->HandleMessage(WM_TIMER, 1);
  window->HandleMessage(WM_PAINT);
  const int h = window->ClientImage().height();
  append("12 0 2 4 10 60 150 60 ");
  window->HandleMessage(WM_TIMER, 1);
  window->UpdateWindow();
  EXPECT_EQ(state.displayList.Count(), 8);
  EXPECT_EQ(window->ClientImage().pixel(80, h - 20), kBlack) << "the old line is erased";
  EXPECT_EQ(window->ClientImage().pixel(80, h - 60), kRed) << "the new line keeps the red pen";
}

TEST_F(DisplayWindowTest, AClearRepaintsOnceForItsPaintRequest) {
  // The clear both invalidates the client area and posts a paint request:
  // one paint cycle serves both, erasing once and replaying once.
  std::ostringstream trace;  // outlives the application, which deletes the window
  TDrawApp app(state);
  auto* window = new TZorvaWindow("ZORVA daemon", OpenCommandFile(path), state);
  window->UseSurface(std::make_unique<RecordingSurface>(trace));
  window->Attr.Style &= ~WS_VISIBLE;
  window->Attr.W = 200;
  window->Attr.H = 100;
  app.SetMainWindow(window);
  window->Create();
  append("0 0 2 4 10 20 150 20 ");
  window->HandleMessage(WM_TIMER, 1);
  app.PumpWaitingMessages();
  trace.str("");
  append("12 0 2 4 10 60 151 77 ");
  window->HandleMessage(WM_TIMER, 1);
  for (int i = 0; i < 3; ++i) app.PumpWaitingMessages();
  const std::string calls = trace.str();
  auto count = [&calls](const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = calls.find(what); at != std::string::npos; at = calls.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("LineTo(151,"), 2u) << "drawn once live and replayed once\n" << calls;
  EXPECT_EQ(count("EraseBkgnd("), 1u) << calls;
}

TEST_F(DisplayWindowTest, TheAboutBoxIsCaptionedWithTheApplicationName) {
  TDrawApp app(state);
  TZorvaWindow* window = makeWindow(app);
  window->HandleMessage(WM_COMMAND, CM_HELPABOUT);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "ZORVAd");
  EXPECT_EQ(boxes[0].style, MB_OK);
  EXPECT_EQ(boxes[0].text.rfind("ZORVA daemon\nVersion 0.0.1\n", 0), 0u);
  EXPECT_EQ(std::count(boxes[0].text.begin(), boxes[0].text.end(), '\n'), 3) << "four lines";
}

TEST_F(DisplayWindowTest, DestructionClosesTheFileAndEmptiesTheList) {
  TDrawApp app(state);
  TZorvaWindow* window = makeWindow(app);
  append("2 4 1 1 5 5 ");
  window->HandleMessage(WM_TIMER, 1);
  ASSERT_EQ(state.displayList.Count(), 1);
  const int fd = window->conID;
  ASSERT_GT(fd, 0);
  app.SetMainWindow(nullptr);
  delete window;
  EXPECT_EQ(state.displayList.Count(), 0);
  EXPECT_EQ(::fcntl(fd, F_GETFD), -1) << "the command file is closed";
  EXPECT_TRUE(fileExists()) << "only a close request deletes the file";
}

// The whole run: the first tick reads an exit item; the close request asks
// the application, which deletes the command file; Run returns 0.
TEST_F(DisplayWindowTest, ExitItemEndsTheRunWithStatusZeroAndDeletesTheFile) {
  append("0 0 2 4 1 1 50 50 1 0 ");
  TDrawApp app(state);
  app.UseCommandFile(OpenCommandFile(path));
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&app] {
    ADD_FAILURE() << "watchdog: the display did not close";
    app.PostQuitMessage(-99);
  });
  watchdog.start(10000);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_FALSE(fileExists());
  EXPECT_EQ(app.GetMainWindow(), nullptr) << "the window was deleted after the close request";
  EXPECT_EQ(state.displayList.Count(), 0);
}
