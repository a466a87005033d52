#pragma once
// The readiness signal between the launcher and the display it starts: the
// launcher hands the display the write end of a pipe, named by an
// environment variable; the display writes one byte once its window is first
// shown, or before a box it shows until then (it waits for the user), and the
// launcher stops waiting. A display that cannot start writes the failure
// byte and its reason instead, which the launcher passes on. Either way the
// display then closes the pipe.

#include <cstddef>
#include <string>

// The environment variable that carries the descriptor number.
inline constexpr char ReadinessFdVariable[] = "ZORVA_READY_FD";

// Takes the readiness descriptor handed over by a launcher: removes the
// variable from the environment at once (so the display's own children do
// not see it) and marks the descriptor close-on-exec. Returns -1 when no
// valid descriptor was given (no variable, not a number, not an open pipe).
// Call it early in main, before anything can start a process.
int TakeReadinessFd();

// The first byte on the pipe.
inline constexpr char ReadyByte = 1;
inline constexpr char NotReadyByte = 2;
// The longest reason passed on, in bytes: one write of it is atomic.
inline constexpr std::size_t ReasonLimit = 4000;

// Writes the readiness byte to `fd` and closes it. Does nothing for -1.
// Safe when the launcher is gone: no SIGPIPE reaches the process.
void SignalReady(int fd);

// Writes the failure byte and `reason` (cut at ReasonLimit bytes) to `fd` and
// closes it; for a display that ends before it was ready. Does nothing for -1;
// as safe as SignalReady.
void SignalNotReady(int fd, const std::string& reason);

// What the launcher read from the pipe.
struct ReadinessAnswer {
  enum Kind {
    Ready,     // the ready byte (or any other first byte)
    NotReady,  // the failure byte; `reason` holds what followed it
    Closed,    // end of file before any byte: the display ended or let go
    Unreadable,
  } kind;
  std::string reason;
};

// Reads the answer from the launcher's end once poll found it readable. After
// the failure byte it reads on up to end of file, waiting at most
// `waitMs` for each further piece, and keeps at most ReasonLimit bytes.
ReadinessAnswer ReadReadiness(int fd, int waitMs = 1000);
