#pragma once
// The readiness signal between the launcher and the display it starts: the
// launcher hands the display the write end of a pipe, named by an
// environment variable; the display writes one byte once its window is first
// shown, and the launcher stops waiting.

// The environment variable that carries the descriptor number.
inline constexpr char ReadinessFdVariable[] = "ZORVA_READY_FD";

// Takes the readiness descriptor handed over by a launcher: removes the
// variable from the environment at once (so the display's own children do
// not see it) and marks the descriptor close-on-exec. Returns -1 when no
// valid descriptor was given (no variable, not a number, not an open pipe).
// Call it early in main, before anything can start a process.
int TakeReadinessFd();

// Writes the readiness byte to `fd` and closes it. Does nothing for -1.
// Safe when the launcher is gone: no SIGPIPE reaches the process.
void SignalReady(int fd);
