// How a display run ends in one process, offscreen, where the end is the
// process's own: refused kinds of command file, and the exit hook that
// deletes the file when the process ends without closing the window.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/TDrawApp.h"
#include "display/DisplayState.h"
#include "display/TZorvaWindow.h"
#include "framework/report/MessageBox.h"

namespace {

class DisplayEndingTest : public ::testing::Test {
protected:
  void SetUp() override {
    char name[] = "/tmp/zorva-ending-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir = name;
    path = dir + "/commands.zv";
    pfile = path.c_str();
    previous = SetMessagePresenter([](const std::string& text, const std::string& caption, unsigned) {
      // Seen by the death tests' matchers.
      std::fprintf(stderr, "box [%s] %s\n", caption.c_str(), text.c_str());
      return static_cast<int>(IDOK);
    });
  }
  void TearDown() override {
    SetMessagePresenter(previous);
    pfile = nullptr;
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
    pfile = name.c_str();
    EXPECT_EXIT(
        {
          ::alarm(20);  // the watchdog of this process's loop
          TDrawApp app(state);
          app.Run();
        },
        testing::ExitedWithCode(1),
        "box \\[File name\\] " + name + "\nbox \\[Error\\] Error opening file. Quiting.")
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
        QTimer::singleShot(0, [] { std::exit(1); });
        app.Run();
      },
      testing::ExitedWithCode(1), "");
  EXPECT_FALSE(exists(path));
}

TEST_F(DisplayEndingTest, AfterAnOrderlyEndTheExitHookTouchesNothing) {
  std::ofstream(path) << "1 0 ";
  EXPECT_EXIT(
      {
        ::alarm(20);
        {
          TDrawApp app(state);
          app.Run();
        }
        // A file made anew under the same name after the run.
        std::ofstream(pfile) << "kept";
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_TRUE(exists(path));
}
