#include "app/AppMain.h"

#include <cstdio>
#include <cstring>

#include "app/CommandLine.h"
#include "app/DescriptorLimit.h"
#include "app/Launcher.h"
#include "app/ProgramResources.h"
#include "app/Readiness.h"
#include "app/TDrawApp.h"
#include "framework/application/ScreenChoice.h"
#include "framework/report/MessageBox.h"
#include "stream/CommandFile.h"
#include "stream/DisplayState.h"

int readinessFd = -1;

namespace {

void becomeReady() {
  SignalReady(readinessFd);
  readinessFd = -1;
}

// Until the display window first appears, a box is all a user sees of the
// program, perhaps from a terminal: its text goes to standard error too. And
// a display that shows a box waits for the user, which is what a launcher
// waits for.
void watchEarlyBoxes() {
  SetMessageEcho(true);
  SetMessageBoxHook([](const std::string&, const std::string&, unsigned) { becomeReady(); });
}

void windowShown() {
  SetMessageEcho(false);
  becomeReady();
}

}  // namespace

int AppMain(int argc, char** argv) {
  UseProgramResources();
  watchEarlyBoxes();
  const CommandLine line = ParseCommandLine(argc, argv);
  switch (line.mode) {
    case RunMode::Usage:
      // No chain of launchers, no file without a name.
      return ShowUsage();
    case RunMode::Launcher:
      return RunLauncher(line.file);
    case RunMode::Display:
      break;
  }
  if (const std::string tooFew = RaiseDescriptorLimit(); !tooFew.empty()) {
    // One line, as when no display answers; a launcher learns it too.
    const char* slash = std::strrchr(argv[0] ? argv[0] : "", '/');
    std::fprintf(stderr, "%s: %s\n", slash ? slash + 1 : (argv[0] ? argv[0] : "zorvad"), tooFew.c_str());
    SignalNotReady(readinessFd, tooFew);
    readinessFd = -1;
    return 1;
  }
  try {
    // The display's one state; it outlives the application and its window.
    DisplayState state;
    TDrawApp app(state, "ZORVAd", windowShown);
    // Opened read-only, at its start, without blocking (stream/CommandFile.h).
    auto file = std::make_unique<CommandFile>();
    if (!file->Open(line.file)) {
      // No window exists yet, and none is shown.
      ShowMessageBox(line.file, "File name", MB_OK);
      ShowMessageBox("Error opening file. Quiting.", nullptr, MB_OK);
      return 1;
    }
    app.UseCommandFile(std::move(file));
    return app.Run();
  } catch (const TXNoScreen& x) {
    // The framework's entry tells the terminal; a launcher learns it here.
    SignalNotReady(readinessFd, x.why());
    readinessFd = -1;
    throw;
  }
}
