// Ending the application by signal, and the exit hook that runs when the
// process ends without its orderly close.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "tests/framework/FrameworkTestSupport.h"
#include "framework/application/ExitHook.h"
#include "framework/application/TTerminationSignals.h"

namespace {

// An exit hook that leaves a file behind, so that a test can see it ran in
// a process that has ended.
std::string markerPath() { return testing::TempDir() + "zorva-exit-hook-" + std::to_string(::getpid()); }
std::string marker;
void touchMarker(void* context) {
  const char* path = static_cast<const char*>(context);
  const int fd = ::creat(path, 0600);
  if (fd >= 0) ::close(fd);
}
bool markerLeft(const std::string& path) {
  struct stat st;
  const bool left = ::stat(path.c_str(), &st) == 0;
  ::unlink(path.c_str());
  return left;
}

int hookCalls = 0;
void* hookSaw = nullptr;
void countCall(void* context) {
  ++hookCalls;
  hookSaw = context;
}

}  // namespace

// --- The exit hook ---------------------------------------------------------

TEST(ExitHook, RunsOnceAndIsClearedOnlyByItsOwner) {
  int owner = 0, other = 0;
  hookCalls = 0;
  SetExitHook(countCall, &owner);
  ClearExitHook(&other);
  RunExitHook();
  RunExitHook();
  EXPECT_EQ(hookCalls, 1);
  EXPECT_EQ(hookSaw, &owner);

  SetExitHook(countCall, &owner);
  ClearExitHook(&owner);
  RunExitHook();
  EXPECT_EQ(hookCalls, 1) << "a cleared hook does not run";
}

TEST(ExitHook, RunsWhenTheProcessCallsExit) {
  marker = markerPath();
  EXPECT_EXIT(
      {
        SetExitHook(touchMarker, const_cast<char*>(marker.c_str()));
        std::exit(3);
      },
      testing::ExitedWithCode(3), "");
  EXPECT_TRUE(markerLeft(marker));
}

// --- Signals ---------------------------------------------------------------

TEST(TerminationSignals, EachSignalClosesTheMainWindowThroughCanCloseOnce) {
  for (int signo : {SIGTERM, SIGHUP, SIGINT}) {
    ScriptedBoxes boxes;
    bool deleted = false;
    TTestApp app;
    makeWindow(app, &deleted);
    TTerminationSignals endOnSignals;
    Watchdog watchdog(app);
    Soon([signo] { ::raise(signo); });
    EXPECT_EQ(app.Run(), 0) << strsignal(signo);
    EXPECT_EQ(app.canCloseCalls, 1) << strsignal(signo);
    EXPECT_TRUE(deleted) << strsignal(signo);
  }
}

// Real boxes (offscreen): a signal while one is up answers it with its
// default button, and the close runs with no box left on the screen.
TEST(TerminationSignals, ABoxThatIsUpGoesFirstAnsweredWithItsDefault) {
  struct ProbeApp : TTestApp {
    bool CanClose() override {
      boxUpAtClose = QApplication::activeModalWidget() != nullptr;
      return TTestApp::CanClose();
    }
    bool boxUpAtClose = true;
  } app;
  TRecordingWindow* window = makeWindow(app);
  TTerminationSignals endOnSignals;
  Watchdog watchdog(app);
  int answer = 0;
  window->onUser = [&] {
    Soon([] { ::raise(SIGTERM); }, 50);
    answer = window->MessageBox("Go on?", "Question", MB_YESNO);
  };
  Soon([&] { window->PostMessage(WM_TEST); });
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(answer, IDYES) << "a Yes/No box answers with its default, Yes";
  EXPECT_EQ(app.canCloseCalls, 1);
  EXPECT_FALSE(app.boxUpAtClose);
}

TEST(TerminationSignals, TheResumeReportCountsAsYesSoTheCloseGoesAhead) {
  TTestApp app;
  TRecordingWindow* window = makeWindow(app);
  TTerminationSignals endOnSignals;
  Watchdog watchdog(app);
  window->onUser = [] {
    Soon([] { ::raise(SIGTERM); }, 50);
    throw std::runtime_error("failed");
  };
  Soon([&] { window->PostMessage(WM_TEST); });
  EXPECT_EQ(app.Run(), 0) << "resumed, then closed: not the report's -1";
  EXPECT_EQ(app.canCloseCalls, 1);
}

TEST(TerminationSignals, BeforeTheMainWindowExistsTheProcessEndsWithOne) {
  marker = markerPath();
  EXPECT_EXIT(
      {
        ::alarm(20);  // the watchdog of this process's loop
        TTestApp app;
        TTerminationSignals endOnSignals;
        SetExitHook(touchMarker, const_cast<char*>(marker.c_str()));
        ::raise(SIGTERM);
        for (int i = 0; i < 100; ++i) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        std::_Exit(9);  // the signal changed nothing
      },
      testing::ExitedWithCode(1), "");
  EXPECT_TRUE(markerLeft(marker)) << "the exit hook ran";
}

TEST(TerminationSignals, ASecondSignalEndsTheProcessAtOnceAfterTheExitHook) {
  marker = markerPath();
  EXPECT_EXIT(
      {
        TTestApp app;
        TTerminationSignals endOnSignals;
        SetExitHook(touchMarker, const_cast<char*>(marker.c_str()));
        ::raise(SIGTERM);  // waits for the loop, which never runs
        ::raise(SIGHUP);
        std::_Exit(9);
      },
      testing::ExitedWithCode(1), "");
  EXPECT_TRUE(markerLeft(marker));
}

TEST(TerminationSignals, AnIgnoredSignalStaysIgnoredAndTheOldActionsComeBack) {
  TTestApp app;
  struct sigaction ignore = {}, before = {}, during = {}, after = {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction savedHup = {};
  ::sigaction(SIGHUP, &ignore, &savedHup);
  ::sigaction(SIGTERM, nullptr, &before);
  {
    TTerminationSignals endOnSignals;
    struct sigaction hup = {};
    ::sigaction(SIGHUP, nullptr, &hup);
    EXPECT_EQ(hup.sa_handler, SIG_IGN);
    ::sigaction(SIGTERM, nullptr, &during);
    EXPECT_NE(during.sa_handler, before.sa_handler);
    ::raise(SIGHUP);  // ignored: nothing to see, nothing ends
  }
  ::sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
  ::sigaction(SIGHUP, &savedHup, nullptr);
}
