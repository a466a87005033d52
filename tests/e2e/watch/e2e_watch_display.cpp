// The display window with a poll timer that never ticks: every 100 ms a
// plain Qt timer (which draws and flushes nothing) restarts timer 1, while
// it runs, with a period of an hour. Within a test, every polling step the
// display runs comes from the file watch, and what shows on the screen was
// flushed after that step. Everything else is the display as the program
// runs it. Usage: e2e_watch_display FILE. Prints "ready" once the window
// was first shown and its timer is held; the status is Run's.

#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/ProgramResources.h"
#include "app/TDrawApp.h"
#include "stream/CommandFile.h"
#include "stream/DisplayState.h"
#include "window/TZorvaWindow.h"

namespace {

constexpr unsigned kAnHour = 3600 * 1000;

class THeldPollApp : public TDrawApp {
public:
  THeldPollApp(DisplayState& state, std::unique_ptr<CommandFile> file)
      : TDrawApp(state), file(std::move(file)) {}
  void InitMainWindow() override {
    auto* window = new TZorvaWindow("ZORVA daemon", std::move(file), State());
    window->OnFirstExposed = [this, window] {
      // A timer stopped by an exit item stays stopped.
      auto hold = [window] {
        if (window->KillTimer(1)) window->SetTimer(1, kAnHour);
      };
      hold();
      QObject::connect(&holder, &QTimer::timeout, hold);
      holder.start(100);
      std::printf("ready\n");
      std::fflush(stdout);
    };
    SetMainWindow(window);
  }

private:
  std::unique_ptr<CommandFile> file;
  QTimer holder;
};

}  // namespace

int main(int argc, char** argv) {
  UseProgramResources();
  if (argc != 2) {
    std::fprintf(stderr, "usage: e2e_watch_display FILE\n");
    return 2;
  }
  DisplayState state;
  auto file = std::make_unique<CommandFile>();
  if (!file->Open(argv[1])) {
    std::fprintf(stderr, "e2e_watch_display: cannot open %s\n", argv[1]);
    return 1;
  }
  THeldPollApp app(state, std::move(file));
  return app.Run() & 0xFF;
}
