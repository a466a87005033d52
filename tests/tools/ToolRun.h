#pragma once
// Runs a program as a user would, through the shell: what it printed on
// standard output and how it ended.

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct ToolRun {
  int status;       // the exit status; -1 when it did not exit normally
  std::string out;  // standard output (and whatever the command sends there)
};

inline ToolRun runCommand(const std::string& command) {
  ToolRun r{-1, ""};
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return r;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, p)) > 0;) r.out.append(chunk, n);
  const int st = ::pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

// The command line of zorva-render with `args`.
inline std::string renderCommand(const std::string& args) {
  return std::string(ZORVA_BIN_DIR) + "/zorva-render " + args;
}
