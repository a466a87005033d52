#include "framework/application/TApplication.h"

#include <QAbstractEventDispatcher>
#include <QSessionManager>
#include <algorithm>
#include <deque>
#include <vector>

#include "framework/application/Entry.h"
#include "framework/application/QtApplication.h"
#include "framework/resources/TResources.h"
#include "framework/report/ExceptionReport.h"
#include "framework/window/TFrameWindow.h"

namespace {
TApplication* current = nullptr;

// The arguments the window system's application object keeps a reference
// to for its whole life: the program's name only. The command line belongs
// to the program; Qt must not take options such as -platform or -style out
// of it.
int qtArgc = 1;
char qtDefaultName[] = "application";
std::string qtName;
char* qtArgv[] = {qtDefaultName, nullptr};
}  // namespace

struct TApplication::Impl {
  std::unique_ptr<TQtApplication> ownedQt;
  std::deque<TMsg> queue;
  std::deque<std::exception_ptr> suspended;
  std::vector<TWindow*> condemned;
};

TApplication* TApplication::Current() { return current; }

TApplication::TApplication(const char* name) : TModule(name), impl(std::make_unique<Impl>()) {
  if (!QCoreApplication::instance()) {
    qtArgc = 1;
    qtName = TResources::ProgramName();
    qtArgv[0] = EntryArgc() > 0 && EntryArgv() && EntryArgv()[0] ? EntryArgv()[0]
                : !qtName.empty()                                ? qtName.data()
                                                                 : qtDefaultName;
    qtArgv[1] = nullptr;
    impl->ownedQt = std::make_unique<TQtApplication>(qtArgc, qtArgv);
  }
  if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    // The desktop's log-off or shut-down query asks the main window, which
    // asks CanClose; a refusal cancels the log-off where the desktop lets us.
    QObject::connect(gui, &QGuiApplication::commitDataRequest, gui, [](QSessionManager& manager) {
      GuardedCall([&manager] {
        TApplication* app = TApplication::Current();
        TWindow* main = app ? app->MainWindow : nullptr;
        if (main && main->HWindow && !main->HandleMessage(WM_QUERYENDSESSION, 0, 0)) manager.cancel();
      });
    });
  }
  current = this;
  MakeCurrent();
}

TApplication::~TApplication() {
  DeleteCondemned();
  if (TFrameWindow* main = MainWindow) {
    MainWindow = nullptr;
    try {
      main->Destroy();
    } catch (...) {
      // The application is going away; nobody is left to report to.
    }
    delete main;
  }
  impl->queue.clear();
  impl->suspended.clear();
  TQtApplication::DeleteDisposed();
  if (current == this) current = nullptr;
  if (impl->ownedQt) {
    QObject::disconnect(impl->ownedQt.get(), &QGuiApplication::commitDataRequest, nullptr, nullptr);
    impl->ownedQt.reset();
  }
}

int TApplication::Run() {
  int status = 0;
  try {
    if (!MainWindow) {
      InitApplication();  // there is never a previous instance
      InitInstance();
    }
    running = true;
    status = MessageLoop();
  } catch (...) {
    status = Error(xmsg(ExceptionMessage(std::current_exception())), IDS_UNHANDLEDXMSG, 0);
  }
  DropWaitingMessages();
  impl->suspended.clear();
  running = false;
  return TermInstance(status);
}

void TApplication::InitApplication() {}

void TApplication::InitInstance() {
  InitMainWindow();
  if (!MainWindow) throw TXInvalidMainWindow();
  MainWindow->SetFlag(wfMainWindow);
  MainWindow->Create();
  MainWindow->Show(nCmdShow);
  // Handlers that ran while the window was shown may have raised.
  ResumeThrow();
}

void TApplication::InitMainWindow() {}

int TApplication::TermInstance(int status) { return status; }

bool TApplication::CanClose() { return MainWindow ? MainWindow->CanClose() : true; }

int TApplication::MessageLoop() {
  long idleCount = 0;
  MessageLoopResult = 0;
  while (!BreakMessageLoop) {
    try {
      if (!IdleAction(idleCount++)) WaitMessage();
      if (PumpWaitingMessages()) idleCount = 0;
    } catch (...) {
      const int result =
          Error(xmsg(ExceptionMessage(std::current_exception())), IDS_UNHANDLEDXMSG, IDS_OKTORESUME);
      if (result != 0) {
        MessageLoopResult = result;
        PostQuitMessage(result);
        break;
      }
    }
  }
  BreakMessageLoop = false;
  return MessageLoopResult;
}

void TApplication::WaitMessage() {
  if (!impl->queue.empty() || !impl->suspended.empty()) return;
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

bool TApplication::PumpWaitingMessages() {
  const unsigned long before = deliveries;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  DeleteCondemned();
  ResumeThrow();
  while (!BreakMessageLoop && !impl->queue.empty()) {
    TMsg msg = impl->queue.front();
    impl->queue.pop_front();
    if (msg.Msg == WM_QUIT) {
      BreakMessageLoop = true;
      MessageLoopResult = static_cast<int>(msg.WParam);
      // Left for Run to remove with the rest.
      impl->queue.push_back(msg);
      return true;
    }
    Deliver(msg);
    DeleteCondemned();
    ResumeThrow();
  }
  return deliveries != before;
}

void TApplication::Deliver(TMsg& msg) {
  NoteDelivery();
  try {
    if (msg.Window) {
      msg.Window->HandleMessage(msg.Msg, msg.WParam, msg.LParam);
    } else {
      // A request to the application: first as a row with the first
      // parameter as id, then with id 0.
      LRESULT result = 0;
      if (!FindAndDispatch(msg.Msg, static_cast<unsigned>(msg.WParam), msg.WParam, msg.LParam, result))
        FindAndDispatch(msg.Msg, 0, msg.WParam, msg.LParam, result);
    }
  } catch (...) {
    SuspendThrow(std::current_exception());
  }
}

void TApplication::DeliverNested() {
  while (!HoldsDelivery() && !impl->queue.empty()) {
    if (impl->queue.front().Msg == WM_QUIT) return;  // the main loop takes it
    TMsg msg = impl->queue.front();
    impl->queue.pop_front();
    Deliver(msg);
  }
}

bool TApplication::IdleAction(long idleCount) {
  return MainWindow ? MainWindow->IdleAction(idleCount) : false;
}

void TApplication::DropWaitingMessages() {
  while (!impl->queue.empty() && impl->queue.front().Msg != WM_PAINT) impl->queue.pop_front();
}

bool TApplication::PostMessage(TWindow* window, unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (window && !window->HWindow) return false;
  impl->queue.push_back(TMsg{window, msg, wParam, lParam});
  TQtApplication::Wake();
  return true;
}

void TApplication::PostQuitMessage(int exitCode) {
  impl->queue.push_back(TMsg{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
  TQtApplication::Wake();
}

bool TApplication::IsPosted(const TWindow* window, unsigned msg) const {
  return std::any_of(impl->queue.begin(), impl->queue.end(),
                     [window, msg](const TMsg& m) { return m.Window == window && m.Msg == msg; });
}

void TApplication::DropRequests(const TWindow* window) {
  auto& q = impl->queue;
  q.erase(std::remove_if(q.begin(), q.end(), [window](const TMsg& m) { return m.Window == window; }),
          q.end());
}

void TApplication::WindowGone(TWindow* window) {
  if (MainWindow && static_cast<TWindow*>(MainWindow) == window) MainWindow = nullptr;
  auto& c = impl->condemned;
  c.erase(std::remove(c.begin(), c.end(), window), c.end());
  DropRequests(window);
}

void TApplication::SuspendThrow(std::exception_ptr error) {
  if (error) impl->suspended.push_back(error);
}

void TApplication::ResumeThrow() {
  if (impl->suspended.empty()) return;
  std::exception_ptr error = impl->suspended.front();
  impl->suspended.pop_front();
  std::rethrow_exception(error);
}

bool TApplication::HoldsDelivery() const { return BreakMessageLoop || !impl->suspended.empty(); }

void TApplication::Condemn(TWindow* window) {
  if (window && std::find(impl->condemned.begin(), impl->condemned.end(), window) == impl->condemned.end())
    impl->condemned.push_back(window);
}

void TApplication::DeleteCondemned() {
  while (!impl->condemned.empty()) {
    std::vector<TWindow*> list;
    list.swap(impl->condemned);
    for (TWindow* window : list) delete window;
  }
  TQtApplication::DeleteDisposed();
}

TFrameWindow* TApplication::SetMainWindow(TFrameWindow* window) {
  TFrameWindow* previous = MainWindow;
  MainWindow = window;
  return previous;
}

bool TApplication::Find(TEventInfo& info) { return TModule::Find(info); }
