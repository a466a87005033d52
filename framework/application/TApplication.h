#pragma once
// The application object: owns the main window and runs the main loop over
// the window system's event queue. One application is current at a time
// (the last one constructed). It is the scheduler its windows post to
// (framework/application/TScheduler.h); they know it only as that.
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
#include "framework/application/TScheduler.h"
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

class TApplication : public TModule, public TScheduler {
public:
  using TXInvalidMainWindow = ::TXInvalidMainWindow;

  // Copies the name and becomes the current application and scheduler.
  // Makes the window system's application object if there is none yet (and
  // then owns it; it sees the program's name and none of its arguments).
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
  bool CanClose() override;
  // Until the break flag is set: IdleAction, block until a message arrives
  // when it returned false, PumpWaitingMessages. An exception there is
  // reported with "OK to Resume?": Yes goes on, No ends the loop with -1.
  virtual int MessageLoop();
  // Delivers everything waiting; returns whether any message was handled.
  // A quit request sets the break flag and the loop result.
  bool PumpWaitingMessages();
  // Passes the call to the main window; false when there is none.
  virtual bool IdleAction(long idleCount);

  // The scheduler's requests: a null window addresses the application.
  bool PostMessage(TWindow* window, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) override;
  bool IsPosted(const TWindow* window, unsigned msg) const override;
  void PostQuitMessage(int exitCode) override;

  void SuspendThrow(std::exception_ptr error) override;
  void ResumeThrow() override;
  // Everything waiting up to a quit request.
  void DeliverNested() override;
  void NoteDelivery() override { ++deliveries; }
  bool IsRunning() const override { return running; }
  bool QuitTaken() const override { return BreakMessageLoop; }
  bool HoldsDelivery() const override;

  void DropRequests(const TWindow* window) override;
  // Marks a window object for deletion right after the current delivery.
  void Condemn(TWindow* window) override;
  void WindowGone(TWindow* window) override;
  // Deletes the windows condemned so far.
  void DeleteCondemned();

  TEventHandler& CommandTarget() override { return *this; }
  const char* GetName() const override { return TModule::GetName(); }

  TFrameWindow* GetMainWindow() const { return MainWindow; }
  // Replaces the main window, returning the previous one (not deleted).
  TFrameWindow* SetMainWindow(TFrameWindow* window);

  // The application's own response table (menu commands no window handles,
  // requests addressed to no window); the default has no rows.
  bool Find(TEventInfo& info) override;

  TFrameWindow* MainWindow = nullptr;
  int nCmdShow = SW_SHOWDEFAULT;

protected:
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
