#include "app/AppMain.h"

#include "app/CommandLine.h"
#include "app/Launcher.h"
#include "app/Readiness.h"
#include "app/TDrawApp.h"
#include "display/CommandFileName.h"

int readinessFd = -1;

int AppMain(int argc, char** argv) {
  const CommandLine line = ParseCommandLine(argc, argv);
  switch (line.mode) {
    case RunMode::Usage:
      // No chain of launchers, no file without a name.
      return ShowUsage();
    case RunMode::Launcher:
      pfile = line.file;
      return RunLauncher(pfile);
    case RunMode::Display:
      break;
  }
  pfile = line.file;
  TDrawApp app("ZORVAd", [] {
    SignalReady(readinessFd);
    readinessFd = -1;
  });
  return app.Run();
}
