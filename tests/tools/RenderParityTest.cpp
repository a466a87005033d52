// The display window and zorva-render draw a command file alike: the same
// files go through the window's own path in this process (its first size and
// paint, the polling step, the paints it posted, its end) on a recording
// surface, and through `zorva-render --trace` as a whole process, and the
// two traces are compared call for call.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "tests/support/OpenCommandFile.h"
#include "stream/DisplayState.h"
#include "window/TZorvaWindow.h"
#include "framework/application/TApplication.h"
#include "framework/report/MessageBox.h"
#include "framework/surface/RecordingSurface.h"
#include "tests/tools/ToolRun.h"

namespace {

struct Picture {
  const char* name;
  const char* bytes;
};

// Each starts a picture, sets attributes and draws texts, lines and arcs;
// the later ones clear, start again and keep drawing after a clear.
const Picture kPictures[] = {
    {"one start",
     "0 0 4 3 255 0 0 6 1 2 2 4 10 20 150 20 3 4 10 40 5 Hello 13 5 50 50 30 0 90 "
     "11 3 60 60 20 "},
    {"clear keeps the attributes",
     "0 0 9 2 5 Arial 8 1 16 10 1 2 5 3 0 255 0 3 4 100 50 6 centre 7 1 3 2 4 0 0 50 50 "
     "12 0 2 4 0 0 40 80 3 4 20 20 5 after 13 5 80 80 40 45 300 "},
    {"starts, clears and polylines",
     "0 0 12 0 2 4 1 1 9 9 0 0 14 2 5 5 15 2 50 5 15 2 50 50 12 0 12 0 "
     "4 3 10 20 30 7 1 2 6 1 3 11 3 100 100 25 10 1 3 3 4 150 30 3 r\xE9s "},
    {"no start", "2 4 5 5 100 100 3 4 5 5 -1 whole 4 3 0 0 255 13 5 0 0 50 90 90 "},
};

std::string writeFile(const std::string& name, const std::string& bytes) {
  const std::string path = testing::TempDir() + "zorva-parity-" + std::to_string(::getpid()) + "-" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string renderTrace(const std::string& path, int w, int h) {
  const ToolRun r = runCommand(renderCommand("--size " + std::to_string(w) + "x" + std::to_string(h) +
                                             " --trace '" + path + "' 2>/dev/null"));
  return r.status == 0 ? r.out : r.out + "[status " + std::to_string(r.status) + "]";
}

// The display window, with the paint requests of its command stream
// counted instead of posted: the test delivers them as zorva-render does,
// one paint each. (Posted, the framework would also run its own paint
// cycle for the region a clear invalidated.)
class PaintCountingWindow : public TZorvaWindow {
public:
  PaintCountingWindow(const std::string& path, DisplayState& state)
      : TZorvaWindow("ZORVA daemon", OpenCommandFile(path), state) {}
  bool StepEnded() const { return timerArmed; }
  int paintsPosted = 0;

private:
  void PostPaintRequest() override { ++paintsPosted; }
  void SetPollTimer() override { timerArmed = true; }
  void KillPollTimer() override { timerArmed = false; }
  bool timerArmed = false;
};

class RenderParity : public ::testing::Test {
protected:
  void SetUp() override {
    previous = SetMessagePresenter([](const std::string& text, const std::string& caption, unsigned) {
      ADD_FAILURE() << "unexpected box [" << caption << "] " << text;
      return static_cast<int>(IDOK);
    });
  }
  void TearDown() override {
    SetMessagePresenter(previous);
  }

  // The window's trace of the file: created hidden, then its first size and
  // paint as a shown window gets them; one polling step; one paint for each
  // paint request the step posted, in order; and the window's end. w and h
  // get its client size.
  std::string windowTrace(const std::string& path, int& w, int& h) {
    std::ostringstream trace;
    TApplication app("ZORVAd");
    DisplayState state;
    auto* window = new PaintCountingWindow(path, state);
    window->UseSurface(std::make_unique<RecordingSurface>(trace));
    window->Attr.Style &= ~WS_VISIBLE;
    window->Attr.W = 320;
    window->Attr.H = 240;
    app.SetMainWindow(window);
    window->Create();
    window->HandleMessage(WM_SIZE, 0, 0);
    window->UpdateWindow();
    w = window->ClientImage().width();
    h = window->ClientImage().height();
    window->HandleMessage(WM_TIMER, 1);
    // A slow run (sanitizers) may pause the step; it goes on as the window's
    // continuation would.
    for (int slice = 0; slice < 100000 && !window->StepEnded(); ++slice) window->EvStepContinue();
    EXPECT_TRUE(window->StepEnded());
    for (int i = 0; i < window->paintsPosted; ++i) window->HandleMessage(WM_PAINT);
    app.SetMainWindow(nullptr);
    delete window;
    return trace.str();
  }

  MessagePresenter previous;
};

}  // namespace

TEST_F(RenderParity, TheWindowAndTheToolDrawEveryFileAlike) {
  int n = 0;
  for (const Picture& p : kPictures) {
    SCOPED_TRACE(p.name);
    const std::string path = writeFile(std::to_string(n++) + ".zv", p.bytes);
    int w = 0, h = 0;
    const std::string window = windowTrace(path, w, h);
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    const std::string tool = renderTrace(path, w, h);
    EXPECT_EQ(window, tool);
    std::remove(path.c_str());
  }
}
