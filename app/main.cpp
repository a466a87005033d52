// zorvad: the display of a command file, or (-d) its launcher.

#include "app/AppMain.h"
#include "app/Readiness.h"
#include "framework/application/Entry.h"

int main(int argc, char** argv) {
  // Before anything can start a process: the descriptor must not leak.
  readinessFd = TakeReadinessFd();
  return RunEntry(argc, argv, AppMain) & 0xFF;
}
