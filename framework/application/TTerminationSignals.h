#pragma once
// Ends the application on SIGTERM, SIGHUP and SIGINT the way a user's close
// does: a close request (WM_CLOSE) to the main window, so the application's
// CanClose runs once and the loop ends with the application's status.
//
//   - A modal box that is up when the signal arrives goes first, answered
//     as if dismissed (DismissCode below), then the close request runs.
//   - Before the main window exists (a box shown while it is being made),
//     the process ends at once with status 1, as a program that cannot make
//     its window does. The exit hook (framework/ExitHook.h) then runs.
//   - Once the main window is gone (closed, or its creation failed), the
//     run is ending already: the boxes are dismissed and nothing else.
//   - A second signal, while the first is still being handled or after it,
//     ends the process at once from the signal handler: the exit hook runs,
//     then status 1.
//
// A signal that was ignored when the object was made (nohup, a background
// job of a shell) stays ignored. The handler only writes a byte into a pipe;
// the work is done by the loop, from a socket notifier.
//
// One object at a time; it needs the window system's application object (a
// TApplication makes it). Destroying it restores the previous actions.

#include <memory>

class QDialog;

class TTerminationSignals {
public:
  TTerminationSignals();
  ~TTerminationSignals();
  TTerminationSignals(const TTerminationSignals&) = delete;
  TTerminationSignals& operator=(const TTerminationSignals&) = delete;

  // What a signal does in the loop (also for tests): dismisses the modal
  // boxes, then closes the main window or ends the process as above.
  static void EndSession();

  // Closes every modal box that is up, innermost first, each answered with
  // DismissCode.
  static void DismissModalBoxes();
  // The answer of a dismissed box: a message box's default button (Yes for
  // a Yes/No report, which resumes the loop so that the close goes ahead),
  // otherwise Rejected.
  static int DismissCode(QDialog* dialog);

private:
  struct Impl;
  std::unique_ptr<Impl> impl;
};
