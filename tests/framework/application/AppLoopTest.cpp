// The application's loop: closing, quitting, dropping waiting requests, and
// the reports of exceptions that leave handlers.

#include <QEventLoop>
#include <stdexcept>

#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/OwnProcess.h"
#include "framework/application/Entry.h"
#include "framework/report/ExceptionReport.h"

namespace {

TEST(AppClose, ClosingTheMainWindowAsksTheApplicationAndEndsTheLoopWithZero) {
  ScriptedBoxes boxes;
  bool deleted = false;
  bool deletedWhileRunning = false;
  TTestApp app;
  TRecordingWindow* window = makeWindow(app, &deleted);
  Watchdog watchdog(app);
  window->onDelete = [&] { deletedWhileRunning = app.IsRunning(); };
  Soon([&] { EXPECT_TRUE(window->PostMessage(WM_CLOSE)); });

  const int status = app.Run();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(app.canCloseCalls, 1);
  // A close request deletes the window object inside the loop.
  EXPECT_TRUE(deleted);
  EXPECT_TRUE(deletedWhileRunning);
  EXPECT_EQ(app.MainWindow, nullptr);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(AppClose, ARefusingCanCloseKeepsTheWindow) {
  ScriptedBoxes boxes;
  bool deleted = false;
  TTestApp app;
  app.allowClose = false;
  TRecordingWindow* window = makeWindow(app, &deleted);
  Watchdog watchdog(app);
  Soon([&] { window->PostMessage(WM_CLOSE); });
  Soon(
      [&] {
        EXPECT_NE(window->HWindow, nullptr) << "the refused close destroyed the window";
        EXPECT_FALSE(deleted);
        app.allowClose = true;
        window->PostMessage(WM_CLOSE);
      },
      100);

  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.canCloseCalls, 2);
  EXPECT_TRUE(deleted);
}

TEST(AppClose, TheSystemCloseCommandIsACloseRequest) {
  ScriptedBoxes boxes;
  bool deleted = false;
  TTestApp app;
  TRecordingWindow* window = makeWindow(app, &deleted);
  Watchdog watchdog(app);
  Soon([&] { window->TopLevelWidget()->close(); });
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.canCloseCalls, 1);
  EXPECT_TRUE(deleted);
}

TEST(AppClose, ExitClosesTheMainWindowButTheApplicationDeletesTheObject) {
  ScriptedBoxes boxes;
  bool deleted = false;
  {
    TTestApp app;
    TRecordingWindow* window = makeWindow(app, &deleted);
    Watchdog watchdog(app);
    Soon([&] { window->HandleMessage(WM_COMMAND, CM_EXIT, 0); });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.canCloseCalls, 1);
    EXPECT_EQ(window->HWindow, nullptr);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(app.MainWindow, window);
  }
  EXPECT_TRUE(deleted);
}

TEST(AppClose, AWindowThatIsNotTheMainWindowAsksOnlyItself) {
  ScriptedBoxes boxes;
  bool otherDeleted = false;
  TTestApp app;
  TRecordingWindow* main = makeWindow(app);
  TRecordingWindow* other = nullptr;
  main->setupHook = [&](TRecordingWindow&) {
    other = new TRecordingWindow("Other");
    other->deletedFlag = &otherDeleted;
    other->Create();
  };
  Watchdog watchdog(app);
  Soon([&] { other->PostMessage(WM_CLOSE); });
  Soon(
      [&] {
        EXPECT_TRUE(otherDeleted);
        main->PostMessage(WM_CLOSE);
      },
      100);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.canCloseCalls, 1);  // only for the main window
}

TEST(AppQuit, AQuitRequestEndsTheLoopAndRunDropsWaitingRequestsUpToThePaintRequest) {
  ScriptedBoxes boxes;
  TTestApp app;
  TRecordingWindow* window = makeWindow(app);
  int paintsBefore = -1;
  Watchdog watchdog(app);
  Soon(
      [&] {
        paintsBefore = window->paints;
        app.PostQuitMessage(3);
        window->PostMessage(WM_TEST);
        window->PostMessage(WM_PAINT);
        window->PostMessage(WM_TEST2);
      },
      50);
  EXPECT_EQ(app.Run(), 3);
  EXPECT_EQ(window->userMessages, 0);
  EXPECT_EQ(window->user2Messages, 0);
  EXPECT_EQ(window->paints, paintsBefore);

  // What was left from the paint request on is still waiting, the quit
  // request behind it included.
  EXPECT_EQ(app.Run(), 3);
  EXPECT_EQ(window->userMessages, 0);
  EXPECT_EQ(window->user2Messages, 1);
  EXPECT_EQ(window->paints, paintsBefore + 1);
}

TEST(AppReport, AnExceptionInAHandlerIsReportedAndYesResumesTheLoop) {
  ScriptedBoxes boxes;
  boxes.answers = {IDYES};
  int user2AtClose = -1;
  TTestApp app;
  TRecordingWindow* window = makeWindow(app);
  window->onUser = [] { throw TXGdi(); };
  window->onDelete = [&] { user2AtClose = window->user2Messages; };
  Watchdog watchdog(app);
  Soon([&] {
    window->PostMessage(WM_TEST);
    window->PostMessage(WM_TEST2);  // delivered only after the report
    window->PostMessage(WM_CLOSE);
  });
  EXPECT_EQ(app.Run(), 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Exception #32739 (no message available).\nOK to Resume?");
  EXPECT_EQ(boxes.shown[0].caption, "Unhandled Exception");
  EXPECT_EQ(boxes.shown[0].style, MB_YESNO | MB_ICONSTOP);
  EXPECT_EQ(user2AtClose, 1);
}

TEST(AppReport, NoEndsTheLoopWithMinusOne) {
  ScriptedBoxes boxes;
  boxes.answers = {IDNO};
  TTestApp app;
  TRecordingWindow* window = makeWindow(app);
  window->onUser = [] { throw xmsg("handler failed"); };
  Watchdog watchdog(app);
  Soon([&] {
    window->PostMessage(WM_TEST);
    window->PostMessage(WM_TEST2);
  });
  EXPECT_EQ(app.Run(), -1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "handler failed\nOK to Resume?");
  EXPECT_EQ(window->user2Messages, 0);
  EXPECT_NE(window->HWindow, nullptr);
}

TEST(AppReport, ExceptionsFromQtDeliveriesAreReportedInTheLoop) {
  ScriptedBoxes boxes;
  boxes.answers = {IDNO};
  TTestApp app;
  TRecordingWindow* window = makeWindow(app);
  window->onTimer = [window](unsigned) {
    window->KillTimer(1);
    throw std::bad_alloc();
  };
  window->setupHook = [](TRecordingWindow& w) { EXPECT_TRUE(w.SetTimer(1, 10)); };
  Watchdog watchdog(app);
  EXPECT_EQ(app.Run(), -1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Out of memory\nOK to Resume?");
  EXPECT_EQ(window->timerIds, std::vector<unsigned>{1});
}

TEST(AppReport, ASecondExceptionInsideTheReportsModalLoopIsReportedNext) {
  ScriptedBoxes boxes;
  boxes.answers = {IDYES, IDNO};
  TTestApp app;
  TRecordingWindow* window = makeWindow(app);
  int throws = 0;
  window->onUser = [&] { throw xmsg("failure " + std::to_string(++throws)); };
  bool nested = false;
  boxes.during = [&] {
    if (nested) return;
    nested = true;
    // While the first box is open a posted request runs and raises again.
    window->PostMessage(WM_TEST);
    QEventLoop modal;
    QTimer::singleShot(100, &modal, &QEventLoop::quit);
    modal.exec();
  };
  Watchdog watchdog(app);
  Soon([&] { window->PostMessage(WM_TEST); });
  EXPECT_EQ(app.Run(), -1);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, "failure 1\nOK to Resume?");
  EXPECT_EQ(boxes.shown[1].text, "failure 2\nOK to Resume?");
}

TEST(AppReport, AnExceptionInSetupWindowIsReportedWithOkAndRunReturnsMinusOne) {
  ScriptedBoxes boxes;
  bool deleted = false;
  TTestApp app;
  TRecordingWindow* window = makeWindow(app, &deleted);
  window->setupHook = [](TRecordingWindow&) { throw TXGdi(); };
  Watchdog watchdog(app);
  EXPECT_EQ(app.Run(), -1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Exception #32739 (no message available).");
  EXPECT_EQ(boxes.shown[0].caption, "Unhandled Exception");
  EXPECT_EQ(boxes.shown[0].style, MB_OK | MB_ICONSTOP);
  EXPECT_EQ(window->HWindow, nullptr);
  EXPECT_FALSE(app.IsRunning());
}

TEST(AppReport, NoMainWindowIsReportedAsException32759) {
  ScriptedBoxes boxes;
  TTestApp app;
  Watchdog watchdog(app);
  EXPECT_EQ(app.Run(), -1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Exception #32759 (no message available).");
  EXPECT_EQ(boxes.shown[0].style, MB_OK | MB_ICONSTOP);
}

}  // namespace

namespace {

TEST(AppSession, TheLogOffQueryAsksTheApplicationForTheMainWindowAndItselfOtherwise) {
  ScriptedBoxes boxes;
  TTestApp app;
  auto* main = new TRecordingWindow("Main");
  main->Attr.Style &= ~WS_VISIBLE;
  app.MainWindow = main;
  main->SetFlag(wfMainWindow);
  main->Create();
  TRecordingWindow other("Other");
  other.Attr.Style &= ~WS_VISIBLE;
  other.Create();

  struct Case {
    bool appAllows;
    bool windowAllows;
    LRESULT mainAnswer;
    LRESULT otherAnswer;
  };
  const Case cases[] = {{true, true, 1, 1}, {false, true, 0, 1}, {true, false, 0, 0}, {false, false, 0, 0}};
  for (const Case& c : cases) {
    app.allowClose = c.appAllows;
    main->allowClose = c.windowAllows;
    other.allowClose = c.windowAllows;
    const int appCalls = app.canCloseCalls;
    const int otherCalls = other.canCloseCalls;
    EXPECT_EQ(main->HandleMessage(WM_QUERYENDSESSION), c.mainAnswer);
    EXPECT_EQ(app.canCloseCalls, appCalls + 1);
    EXPECT_EQ(other.HandleMessage(WM_QUERYENDSESSION), c.otherAnswer);
    EXPECT_EQ(app.canCloseCalls, appCalls + 1) << "another window asks only itself";
    EXPECT_EQ(other.canCloseCalls, otherCalls + 1);
  }
  // Neither window went away.
  EXPECT_NE(main->HWindow, nullptr);
  EXPECT_NE(other.HWindow, nullptr);
}

}  // namespace

namespace {

// An application with rows of its own for requests addressed to no window.
class TRequestApp : public TTestApp {
public:
  bool Find(TEventInfo& info) override { return SearchEntries(Rows, info) || TTestApp::Find(info); }
  void ById(unsigned value) { calls.push_back("by id " + std::to_string(value)); }
  void Any(unsigned value) {
    calls.push_back("any " + std::to_string(value));
    if (value == 99) PostQuitMessage(0);
  }
  std::vector<std::string> calls;

private:
  static const TResponseTableEntry Rows[];
};
const TResponseTableEntry TRequestApp::Rows[] = {
    {WM_TEST, 5, v_WPARAM_Dispatch<&TRequestApp::ById>},
    {WM_TEST, 0, v_WPARAM_Dispatch<&TRequestApp::Any>},
    {0, 0, nullptr},
};

TEST(AppRequests, ARequestToNoWindowIsLookedUpWithItsParameterAsIdThenWithIdZero) {
  ScriptedBoxes boxes;
  TRequestApp app;
  TRecordingWindow* window = new TRecordingWindow("Requests");
  app.makeMain = [window] { return window; };
  Watchdog watchdog(app);
  Soon([&] {
    app.PostMessage(nullptr, WM_TEST, 5);
    app.PostMessage(nullptr, WM_TEST, 6);
    app.PostMessage(nullptr, WM_TEST2, 5);  // no row: dropped
    app.PostMessage(nullptr, WM_TEST, 99);
  });
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(app.calls, (std::vector<std::string>{"by id 5", "any 6", "any 99"}));
  EXPECT_EQ(window->userMessages + window->user2Messages, 0);
}

}  // namespace

namespace {

int constructsApplication(int, char**) {
  ScriptedBoxes boxes;
  TTestApp app("ZORVAd");
  EXPECT_EQ(TApplication::Current(), &app);
  EXPECT_EQ(TScheduler::Current(), &app);
  EXPECT_STREQ(app.GetName(), "ZORVAd");
  EXPECT_EQ(app.nCmdShow, SW_SHOWDEFAULT);
  // The window system saw none of the program's arguments.
  EXPECT_EQ(QCoreApplication::arguments(), QStringList{"zorva-test"});
  return 7;
}

TEST(AppEntry, QtSeesOnlyTheProgramName) {
  if (!InOwnProcess()) return;  // needs a process without an application object
  char prog[] = "zorva-test", a1[] = "-platform", a2[] = "nowhere", a3[] = "file name";
  char* argv[] = {prog, a1, a2, a3, nullptr};
  EXPECT_EQ(RunEntry(4, argv, constructsApplication), 7);
  EXPECT_EQ(TApplication::Current(), nullptr);
  EXPECT_EQ(TScheduler::Current(), nullptr);
  EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

}  // namespace
