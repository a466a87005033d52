#pragma once
// What windows need of the loop that delivers their messages, and nothing
// more: posting requests and looking them up, whether delivery is held back,
// keeping exceptions for the loop, deleting a closed window after the
// delivery, and the application's answers (may the program close, its own
// command table, its name). The application implements it; windows and the
// window system's application object talk only to this interface, so
// neither needs the application class.
//
// One scheduler is current at a time: the last one made that still exists.

#include <exception>

#include "framework/application/Messages.h"

class TEventHandler;
class TWindow;

class TScheduler {
public:
  // The current scheduler; null when none exists.
  static TScheduler* Current();

  // Queues a request for `window` (null: the application itself). False
  // when the window has no system window.
  virtual bool PostMessage(TWindow* window, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) = 0;
  // Whether a request `msg` for `window` waits in the queue.
  virtual bool IsPosted(const TWindow* window, unsigned msg) const = 0;
  // Posts the quit request that ends the loop with `exitCode`.
  virtual void PostQuitMessage(int exitCode) = 0;

  // Whether the loop runs.
  virtual bool IsRunning() const = 0;
  // Whether the loop has taken a quit request and is ending.
  virtual bool QuitTaken() const = 0;
  // True while delivery of posted requests and timer ticks is held back: a
  // quit request was taken or an exception waits to be reported.
  virtual bool HoldsDelivery() const = 0;
  // Counts one message handled (for the idle counter).
  virtual void NoteDelivery() = 0;
  // Keeps an exception raised where it cannot travel on (inside the window
  // system's dispatch); ResumeThrow raises the oldest kept one again.
  virtual void SuspendThrow(std::exception_ptr error) = 0;
  virtual void ResumeThrow() = 0;
  // Delivers waiting requests from inside a modal loop of the window system
  // (a message box), unless delivery is held.
  virtual void DeliverNested() = 0;

  // Removes every request waiting for `window` (its system window is gone).
  virtual void DropRequests(const TWindow* window) = 0;
  // Deletes `window` right after the current delivery.
  virtual void Condemn(TWindow* window) = 0;
  // The window object is going away: forget every request and condemnation
  // for it, and stop counting it as the main window.
  virtual void WindowGone(TWindow* window) = 0;

  // Whether the main window may close.
  virtual bool CanClose() = 0;
  // The application's own table, searched for commands and requests no
  // window handles.
  virtual TEventHandler& CommandTarget() = 0;
  // The application's name, the caption of its windows' boxes.
  virtual const char* GetName() const = 0;

protected:
  TScheduler() = default;
  // Stops being current.
  virtual ~TScheduler();
  // Becomes the current scheduler.
  void MakeCurrent();
  TScheduler(const TScheduler&) = delete;
  TScheduler& operator=(const TScheduler&) = delete;
};
