// The framework's end-to-end program: a frame window with DRAW_MENU whose
// About command shows a box and then raises. It prints "ready" after the
// first exposure, "paint L,T,R,B" with the rectangle of every repaint, and
// "CanClose" when asked; the process status is Run's.

#include <cstdio>

#include "framework/application/Entry.h"
#include "framework/application/TApplication.h"
#include "framework/resources/TResources.h"
#include "framework/window/TPaintDC.h"
#include "framework/window/TFrameWindow.h"

namespace {

class TE2EWindow : public TFrameWindow {
public:
  TE2EWindow() : TFrameWindow("Framework E2E") { AssignMenu("DRAW_MENU"); }
  bool Find(TEventInfo& info) override { return SearchEntries(Responses, info) || TFrameWindow::Find(info); }
  void SetupWindow() override {
    TFrameWindow::SetupWindow();
    SetBkgndColor(0x00000000);
  }
  void FirstExposed() override {
    std::printf("ready\n");
    std::fflush(stdout);
  }

private:
  void EvPaint() {
    TPaintDC dc(*this);
    const TRect& r = dc.PaintRect();
    std::printf("paint %d,%d,%d,%d\n", r.left, r.top, r.right, r.bottom);
    std::fflush(stdout);
  }
  void About() {
    MessageBox("Framework end-to-end test", "E2E About", MB_OK);
    throw xmsg("About failed");
  }
  static const TResponseTableEntry Responses[];
};

const TResponseTableEntry TE2EWindow::Responses[] = {
    {WM_PAINT, 0, v_Dispatch<&TE2EWindow::EvPaint>},
    {0, CM_HELPABOUT, v_Dispatch<&TE2EWindow::About>},
    {0, 0, nullptr},
};

class TE2EApp : public TApplication {
public:
  TE2EApp() : TApplication("E2EApp") {}
  void InitMainWindow() override { MainWindow = new TE2EWindow; }
  bool CanClose() override {
    std::printf("CanClose\n");
    std::fflush(stdout);
    return true;
  }
};

int appMain(int, char**) {
  TE2EApp app;
  return app.Run();
}

}  // namespace

int main(int argc, char** argv) {
  // The framework has no resources of its own: the program's menu file.
  TResources::SetMenu("DRAW_MENU", ZORVA_SOURCE_DIR "/app/resources/DRAW_MENU.menu");
  return RunEntry(argc, argv, appMain);
}
