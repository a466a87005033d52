#include "app/CommandLine.h"

#include <cstring>

#include "framework/report/MessageBox.h"

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  if (argc <= 1) return {RunMode::Display, DefaultCommandFile};
  const bool daemon = std::strncmp(argv[1], "-d", 2) == 0;
  if (!daemon && argc == 2) return {RunMode::Display, argv[1]};
  if (daemon && argc == 3) return {RunMode::Launcher, argv[2]};
  return {RunMode::Usage, nullptr};
}

int ShowUsage() {
  ShowMessageBox(UsageText, UsageCaption, MB_OK);
  return 1;
}
