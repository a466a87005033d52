// How a display run ends in one process, offscreen, where the end is the
// process's own: refused kinds of command file, and the exit hook that
// deletes the file when the process ends without closing the window.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/AppMain.h"
#include "app/TDrawApp.h"
#include "stream/DisplayState.h"
#include "tests/support/OpenCommandFile.h"
#include "window/TZorvaWindow.h"
#include "framework/application/X11ConnectionLoss.h"
#include "framework/report/MessageBox.h"

namespace {

class DisplayEndingTest : public ::testing::Test {
protected:
  void SetUp() override {
    char name[] = "/tmp/zorva-ending-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir = name;
    path = dir + "/commands.zv";
    previous = SetMessagePresenter([](const std::string& text, const std::string& caption, unsigned) {
      // Seen by the death tests' matchers.
      std::fprintf(stderr, "box [%s] %s\n", caption.c_str(), text.c_str());
      return static_cast<int>(IDOK);
    });
  }
  void TearDown() override {
    SetMessagePresenter(previous);
    std::system(("rm -rf '" + dir + "'").c_str());
  }
  bool exists(const std::string& p) const {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
  }

  std::string dir, path;
  MessagePresenter previous;
  DisplayState state;  // the display's, as the daemon holds it
};

}  // namespace

TEST_F(DisplayEndingTest, RefusedKindsShowTheMissingFileBoxesAndEndWithOne) {
  ::mkdir((dir + "/folder").c_str(), 0700);
  for (const std::string& name : {dir + "/folder", std::string("/dev/null")}) {
    // The program's own start: the entry function opens the file.
    const auto runDisplay = [name] {
      ::alarm(20);  // the watchdog of this process's loop
      char program[] = "zorvad";
      std::string file = name;
      char* argv[] = {program, file.data(), nullptr};
      std::exit(AppMain(2, argv));
    };
    EXPECT_EXIT(runDisplay(),
        testing::ExitedWithCode(1),
        // Each box is also written to standard error before it is shown.
        "File name: " + name + "\nbox \\[File name\\] " + name +
            "\nError: Error opening file. Quiting.\nbox \\[Error\\] Error opening file. Quiting.")
        << name;
  }
  EXPECT_TRUE(exists(dir + "/folder")) << "a refused folder is never removed";
}

// What Qt does when the display connection breaks: exit() from inside the
// loop, no destructor of the window. The exit hook deletes the file.
TEST_F(DisplayEndingTest, AnExitThatSkipsTheWindowsDestructionStillDeletesTheFile) {
  std::ofstream(path).close();
  EXPECT_EXIT(
      {
        ::alarm(20);
        TDrawApp app(state);
        app.UseCommandFile(OpenCommandFile(path));
        QTimer::singleShot(0, [] { std::exit(1); });
        app.Run();
      },
      testing::ExitedWithCode(1), "");
  EXPECT_FALSE(exists(path));
}

// When Xlib finds the X server gone: one line, status 1, the file deleted;
// also when the process meets the broken connection again on its way out.
TEST_F(DisplayEndingTest, AnXlibConnectionLossSaysOneLineAndStillDeletesTheFile) {
  const auto oneLine = testing::Truly([](const std::string& err) {
    const std::string line = "The X11 connection broke (error 0). Did the X11 server die?\n";
    const auto at = err.find(line);
    return at != std::string::npos && err.find(line, at + 1) == std::string::npos &&
           err.find("XIO") == std::string::npos;
  });
  for (const bool metAgain : {false, true}) {
    std::ofstream(path).close();
    EXPECT_EXIT(
        {
          ::alarm(20);
          TDrawApp app(state);
          app.UseCommandFile(OpenCommandFile(path));
          QTimer::singleShot(0, [metAgain] {
            // Run first among the exit's handlers, as a destructor that
            // touches the connection would.
            if (metAgain) std::atexit([] { OnX11ConnectionLost(); });
            OnX11ConnectionLost();
          });
          app.Run();
        },
        testing::ExitedWithCode(1), oneLine)
        << metAgain;
    EXPECT_FALSE(exists(path)) << metAgain;
  }
}

TEST_F(DisplayEndingTest, AfterAnOrderlyEndTheExitHookTouchesNothing) {
  std::ofstream(path) << "1 0 ";
  EXPECT_EXIT(
      {
        ::alarm(20);
        {
          TDrawApp app(state);
          app.UseCommandFile(OpenCommandFile(path));
          app.Run();
        }
        // A file made anew under the same name after the run.
        std::ofstream(path) << "kept";
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_TRUE(exists(path));
}
