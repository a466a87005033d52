#include "framework/application/Entry.h"

#include <cstdio>
#include <cstring>
#include <exception>

#include "framework/application/QtMessageBox.h"
#include "framework/application/ScreenChoice.h"
#include "framework/report/ExceptionReport.h"

namespace {
int savedArgc = 0;
char** savedArgv = nullptr;
}  // namespace

int EntryArgc() { return savedArgc; }
char** EntryArgv() { return savedArgv; }

int RunEntry(int argc, char** argv, int (*appMain)(int, char**)) {
  UseQtMessageBoxes();
  savedArgc = argc;
  savedArgv = argv;
  // The arguments are recorded only while the entry function runs.
  struct Forget {
    ~Forget() {
      savedArgc = 0;
      savedArgv = nullptr;
    }
  } forget;
  try {
    return appMain(argc, argv);
  } catch (const TXNoScreen& x) {
    // No display to show a report on: one line for the terminal.
    const char* path = argc > 0 && argv && argv[0] ? argv[0] : "";
    const char* slash = std::strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    std::fprintf(stderr, "%s%s%s\n", name, *name ? ": " : "", x.why().c_str());
    std::fflush(stderr);
    return 1;
  } catch (...) {
    // Message exceptions are the ones the entry is meant for; any other
    // kind is reported the same way rather than ending the process abruptly.
    return ReportUnhandled(std::current_exception(), false);
  }
}
