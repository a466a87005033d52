// The display window on whatever platform the environment names, driven
// from inside: once it is shown it zooms in twice (to 2:1 about the middle
// of the client area) and saves the picture to each file named after the
// command file, one after another, then closes. For platforms that a test
// cannot send input to (a headless Wayland compositor).
// Usage: e2e_explore_app FILE OUT...

#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgramResources.h"
#include "app/TDrawApp.h"
#include "stream/CommandFile.h"
#include "stream/DisplayState.h"
#include "window/Commands.h"
#include "window/TZorvaWindow.h"

namespace {

class TExploreApp : public TDrawApp {
public:
  TExploreApp(DisplayState& state, std::unique_ptr<CommandFile> file, std::vector<std::string> outs)
      : TDrawApp(state), file(std::move(file)), outs(std::move(outs)) {}
  void InitMainWindow() override {
    window = new TZorvaWindow("ZORVA daemon", std::move(file), State());
    window->OnFirstExposed = [this] { zoomOnceRead(); };
    SetMainWindow(window);
  }

private:
  // The picture first (the file was written whole before the start), then
  // the view, then the files.
  void zoomOnceRead() {
    if (State().displayList.Count() == 0 || !window->Idle()) {
      QTimer::singleShot(50, [this] { zoomOnceRead(); });
      return;
    }
    window->HandleMessage(WM_COMMAND, CM_ZOOMIN);
    window->HandleMessage(WM_COMMAND, CM_ZOOMIN);
    next();
  }

  // Each file once the picture of the view is complete.

  void next() {
    if (window->Saving() || !window->Idle() || window->WholeClientErasePending()) {
      QTimer::singleShot(50, [this] { next(); });
      return;
    }
    if (saved == outs.size()) {
      window->PostMessage(WM_CLOSE);
      return;
    }
    window->SavePicture(outs[saved++]);
    QTimer::singleShot(50, [this] { next(); });
  }

  std::unique_ptr<CommandFile> file;
  std::vector<std::string> outs;
  std::size_t saved = 0;
  TZorvaWindow* window = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  UseProgramResources();
  if (argc < 3) {
    std::fprintf(stderr, "usage: e2e_explore_app FILE OUT...\n");
    return 2;
  }
  DisplayState state;
  auto file = std::make_unique<CommandFile>();
  if (!file->Open(argv[1])) {
    std::fprintf(stderr, "e2e_explore_app: cannot open %s\n", argv[1]);
    return 1;
  }
  TExploreApp app(state, std::move(file), std::vector<std::string>(argv + 2, argv + argc));
  return app.Run() & 0xFF;
}
