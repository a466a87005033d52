#include "framework/Entry.h"

#include <exception>

#include "framework/ExceptionReport.h"

namespace {
int savedArgc = 0;
char** savedArgv = nullptr;
}  // namespace

int EntryArgc() { return savedArgc; }
char** EntryArgv() { return savedArgv; }

int RunEntry(int argc, char** argv, int (*appMain)(int, char**)) {
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
  } catch (...) {
    // Message exceptions are the ones the entry is meant for; any other
    // kind is reported the same way rather than ending the process abruptly.
    return ReportUnhandled(std::current_exception(), false);
  }
}
