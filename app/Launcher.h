#pragma once
// Launcher mode: starts a display on a command file as a detached process
// and returns once that display is ready for input, so a client that runs the
// launcher is blocked only briefly.

#include <chrono>
#include <string>

struct LaunchOptions {
  // The program to start; by default this program's own file.
  std::string program = OwnProgramPath();
  // How long to wait for the readiness byte before waiting for the child's
  // end instead.
  std::chrono::milliseconds readyTimeout{30000};
  // After the time-out: the pause after each query of the child's state.
  std::chrono::milliseconds exitPoll{1000};

  // The full path of the running program file ("/proc/self/exe" resolved),
  // or "/proc/self/exe" itself when it cannot be resolved.
  static std::string OwnProgramPath();
};

// Starts `options.program` with exactly the two arguments (program, file),
// as an argument vector, so blanks in either arrive intact. The child runs in
// a session of its own, with standard input, output and error on /dev/null
// and no other descriptor of this process but the readiness pipe (see
// app/Readiness.h).
//
// Waits for the readiness byte for at most options.readyTimeout; a byte
// returns 0 at once. A child that ends before it was ready makes the launcher
// print one line on standard error, "program: reason", and return 1: the
// reason the child sent (SignalNotReady), else how it ended (its status or
// signal). A child that ended with status 0, or closed the pipe and lives on,
// returns 0 silently. After the time-out it waits for the child's end,
// querying it once per options.exitPoll, then returns 0. A child that ended
// is reaped.
//
// If the child cannot be started (no process, or the program cannot be
// executed), shows "Error creating child process\n" captioned "Error" and
// returns 1.
int RunLauncher(const char* file, const LaunchOptions& options = {});
