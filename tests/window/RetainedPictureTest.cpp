// A resize shows exactly the picture of the new size in which the list is
// replayed once after an erase: through the retained picture where it fits
// (no replay runs), by replaying where the window outgrows it, at device
// pixel ratios 1 and 2.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "app/TDrawApp.h"
#include "framework/gdi/TClientDC.h"
#include "framework/report/MessageBox.h"
#include "framework/surface/RasterImage.h"
#include "framework/surface/RasterSurface.h"
#include "stream/DisplayState.h"
#include "stream/Replay.h"
#include "tests/framework/application/LoopWait.h"
#include "tests/support/OpenCommandFile.h"
#include "window/TZorvaWindow.h"

namespace {

// A start item, then lines, circles, texts in several fonts and sizes and
// colours, spread over more than the offscreen screen (800x600).
std::string picture() {
  std::string text = "0 0 ";
  for (int i = 0; i < 30000; ++i) {
    if (i % 1000 == 0)
      text += "4 3 " + std::to_string(i * 37 % 256) + " " + std::to_string(i * 91 % 256) + " 200 6 1 " +
              std::to_string(1 + i / 1000 % 3) + " ";
    text += "2 4 " + std::to_string(i * 7 % 1000 - 100) + " " + std::to_string(i * 13 % 800 - 50) + " " +
            std::to_string(i * 11 % 1000 - 100) + " " + std::to_string(i * 17 % 800 - 50) + " ";
    if (i % 3000 == 0)
      text += "8 1 " + std::to_string(12 + i / 1000) + " 5 3 255 255 0 3 4 " + std::to_string(i % 700) +
              " 300 6 Zorva! 11 3 400 200 " + std::to_string(20 + i / 300) + " ";
  }
  return text;
}

// The picture of `w` x `h` logical pixels at `ratio` in which the list is
// replayed once after an erase, as a window's context would replay it.
QImage eraseAndReplay(DisplayState& state, int w, int h, double ratio) {
  QImage image = NewRasterImage(static_cast<int>(w * ratio + 0.999), static_cast<int>(h * ratio + 0.999),
                                QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  {
    RasterSurface surface(&image);
    TClientDC dc(surface);
    dc.SetViewportOrgEx(0, h);
    dc.SetBkMode(TRANSPARENT);  // as the start item left the window's context
    dc.EraseBkgnd(0, 0, w, h, TColor(0, 0, 0));
    ReplayDisplayList(state, dc);
  }
  return image;
}

class RetainedPictureTest : public ::testing::TestWithParam<double> {
protected:
  void SetUp() override {
    path = testing::TempDir() + "zorva-retained-" + std::to_string(::getpid()) + ".zv";
    std::ofstream(path) << picture();
    previous = SetMessagePresenter([](const std::string&, const std::string&, unsigned) { return 1; });
    // The ratio of the offscreen screen, read when the application is made.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(GetParam()));
  }
  void TearDown() override {
    qunsetenv("QT_SCALE_FACTOR");
    SetMessagePresenter(previous);
    std::remove(path.c_str());
  }

  std::string path;
  MessagePresenter previous;
};

TEST_P(RetainedPictureTest, EveryResizeShowsTheEraseAndReplayPictureOfItsSize) {
  DisplayState state;
  TDrawApp app(state);
  auto* window = new TZorvaWindow("ZORVA daemon", OpenCommandFile(path), state);
  window->Attr.W = 500;
  window->Attr.H = 400;
  app.SetMainWindow(window);
  window->Create();
  const auto settle = [&] {
    RunUntil([&] {
      app.PumpWaitingMessages();
      return window->Idle() && !app.IsPosted(window, WM_PAINT) && !window->RetainedBehind();
    });
  };
  window->HandleMessage(WM_TIMER, 1);
  settle();
  ASSERT_GT(state.displayList.Count(), 30000);

  // The offscreen screen is 800x600 device pixels: 400x300 logical ones at
  // ratio 2. Client areas within it show the retained picture, larger ones
  // replay.
  const QSize screen = window->TopLevelWidget()->screen()->size();
  const QSize sizes[] = {{640, 480}, {300, 200}, {1, 1}, {799, 560}, {1200, 900}, {420, 380}, {390, 280}};
  for (const QSize& s : sizes) {
    window->TopLevelWidget()->resize(s);
    QCoreApplication::processEvents();  // the resize and its paint cycle
    const int w = window->GetClientSize().cx, h = window->GetClientSize().cy;
    const bool retained = w <= screen.width() && h <= screen.height();
    app.PumpWaitingMessages();
    EXPECT_EQ(window->Replaying(), !retained) << w << "x" << h;
    settle();
    const QImage& shown = window->ClientImage();
    const QImage want = eraseAndReplay(state, w, h, GetParam());
    ASSERT_EQ(shown.size(), want.size()) << w << "x" << h;
    EXPECT_TRUE(shown == want) << "the picture after a resize to " << w << "x" << h << " at ratio "
                               << GetParam();
  }
  app.SetMainWindow(nullptr);
  delete window;
}

INSTANTIATE_TEST_SUITE_P(Ratios, RetainedPictureTest, ::testing::Values(1.0, 2.0));

}  // namespace
