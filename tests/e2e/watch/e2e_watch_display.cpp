// The display window with a poll timer that never ticks: every 100 ms a
// plain Qt timer (which draws and flushes nothing) restarts timer 1, while
// it runs, with a period of an hour. Within a test, every polling step the
// display runs comes from the file watch, and what shows on the screen was
// flushed after that step. Everything else is the display as the program
// runs it. Usage: e2e_watch_display FILE. Prints "ready" once the window
// was first shown and its timer is held; the status is Run's.

#include <QTimer>
#include <cstdio>

#include "app/ProgramResources.h"
#include "app/TDrawApp.h"
#include "window/CommandFileName.h"
#include "stream/DisplayState.h"
#include "window/TZorvaWindow.h"

namespace {

constexpr unsigned kAnHour = 3600 * 1000;

class THeldPollApp : public TDrawApp {
public:
  explicit THeldPollApp(DisplayState& state) : TDrawApp(state) {}
  void InitMainWindow() override {
    auto* window = new TZorvaWindow(nullptr, "ZORVA daemon", State());
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
  QTimer holder;
};

}  // namespace

int main(int argc, char** argv) {
  UseProgramResources();
  if (argc != 2) {
    std::fprintf(stderr, "usage: e2e_watch_display FILE\n");
    return 2;
  }
  pfile = argv[1];
  DisplayState state;
  THeldPollApp app(state);
  return app.Run() & 0xFF;
}
