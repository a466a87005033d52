#pragma once
// The application object: owns the main window and runs the main loop over
// the window system's event queue. One application is current at a time
// (the last one constructed); windows, reports and posted requests use it.
//
//   class TMyApp : public TApplication {
//   public:
//     TMyApp() : TApplication("MyApp") {}
//     void InitMainWindow() override { MainWindow = new TMyWindow(nullptr, "Title"); }
//     bool CanClose() override { ...; return true; }
//   };
//   int status = TMyApp().Run();

#include <exception>
#include <memory>
#include <string>

#include "framework/application/Messages.h"
#include "framework/application/TModule.h"
#include "framework/report/Exceptions.h"

class TWindow;
class TFrameWindow;

// One posted request in the application's queue. A null window addresses
// the application itself.
struct TMsg {
  TWindow* Window;
  unsigned Msg;
  WPARAM WParam;
  LPARAM LParam;
};

class TApplication : public TModule {
public:
  using TXInvalidMainWindow = ::TXInvalidMainWindow;

  // Copies the name and becomes the current application and module. Makes
  // the window system's application object if there is none yet (and then
  // owns it; it sees the program's name and none of its arguments). The
  // command-line text comes from RunEntry, if it runs (framework/Entry.h).
  explicit TApplication(const char* name = nullptr);
  // Deletes the windows still condemned and the main window (destroying its
  // system window first if it still exists), then stops being current.
  ~TApplication() override;

  // The current application, null when none exists.
  static TApplication* Current();

  // Runs the whole application: InitApplication and InitInstance when there
  // is no main window yet, then MessageLoop; an exception that leaves those
  // is reported with an OK button and gives -1. Then drops the requests still
  // waiting, up to the first paint request, and returns TermInstance(status).
  virtual int Run();
  virtual void InitApplication();
  // InitMainWindow, then marks, creates and shows the main window; raises
  // TXInvalidMainWindow when InitMainWindow left none.
  virtual void InitInstance();
  // Sets MainWindow. The default makes none.
  virtual void InitMainWindow();
  virtual int TermInstance(int status);
  // Whether the main window may close; the default asks the main window.
  virtual bool CanClose();
  // Until the break flag is set: IdleAction, block until a message arrives
  // when it returned false, PumpWaitingMessages. An exception there is
  // reported with "OK to Resume?": Yes goes on, No ends the loop with -1.
  virtual int MessageLoop();
  // Delivers everything waiting; returns whether any message was handled.
  // A quit request sets the break flag and the loop result.
  bool PumpWaitingMessages();
  // Offered every posted request before delivery; true takes it. The default
  // offers it to the target window and its parents (PreProcessMsg).
  virtual bool ProcessAppMsg(TMsg& msg);
  // Passes the call to the main window; false when there is none.
  virtual bool IdleAction(long idleCount);

  // Posts a request to a window, or with a null window to the application.
  // False when the window has no system window.
  bool PostMessage(TWindow* window, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Posts the quit request that ends the loop with `exitCode`.
  void PostQuitMessage(int exitCode);

  // Keeps an exception raised where it cannot travel on (inside the window
  // system's dispatch); ResumeThrow raises the oldest kept one again.
  void SuspendThrow(std::exception_ptr error);
  void ResumeThrow();

  // Marks a window object for deletion right after the current delivery.
  void Condemn(TWindow* window);
  void Uncondemn(TWindow* window);
  void DeleteCondemned();

  bool IsRunning() const { return running; }
  // True while delivery of posted requests and timer ticks is held back: a
  // quit request was taken or an exception waits to be reported.
  bool HoldsDelivery() const;

  TFrameWindow* GetMainWindow() const { return MainWindow; }
  // Replaces the main window, returning the previous one (not deleted).
  TFrameWindow* SetMainWindow(TFrameWindow* window);

  // Whether a request `msg` for `window` waits in the queue.
  bool IsPosted(const TWindow* window, unsigned msg) const;
  // Removes every request addressed to a window (it is going away).
  void PurgeMessages(TWindow* window);
  // Delivers waiting requests from inside a modal loop of the window system
  // (a message box): everything up to a quit request, unless delivery is
  // held. Framework internal.
  void DeliverNested();
  // Counts one message handled (for the idle counter). Framework internal.
  void NoteDelivery() { ++deliveries; }

  // The application's own response table (menu commands no window handles,
  // requests addressed to no window); the default has no rows.
  bool Find(TEventInfo& info) override;

  TFrameWindow* MainWindow = nullptr;
  int nCmdShow = SW_SHOWDEFAULT;
  std::string CmdLine;  // the command line after the program's name
  bool BreakMessageLoop = false;
  int MessageLoopResult = 0;

private:
  void WaitMessage();
  // Delivers one request: to its window, or through the application's own
  // table; exceptions are kept for ResumeThrow.
  void Deliver(TMsg& msg);
  void DropWaitingMessages();

  struct Impl;
  std::unique_ptr<Impl> impl;
  bool running = false;
  unsigned long deliveries = 0;
};
