// How a display run ends, in one process, offscreen: which command file its
// close deletes, FIFOs, refused kinds, signals, and the exit hook that
// deletes the file when the process ends without closing the window.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/TDrawApp.h"
#include "display/CommandFile.h"
#include "display/DisplayList.h"
#include "display/TZorvaWindow.h"
#include "framework/MessageBox.h"
#include "items/DrawAttributes.h"

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
    displayList.Flush();
    clearDisplayList = 1;
    resetDrawAttributes();
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
  // Runs the application with a watchdog; `during` runs once the loop runs.
  int run(TDrawApp& app, std::function<void()> during = {}) {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&app] {
      ADD_FAILURE() << "watchdog: the display did not close";
      app.PostQuitMessage(-99);
    });
    watchdog.start(10000);
    if (during) QTimer::singleShot(0, during);
    return app.Run();
  }

  std::string dir, path;
  MessagePresenter previous;
};

}  // namespace

TEST_F(DisplayEndingTest, AFifoWithoutAWriterOpensAndIsFollowedToItsExitItem) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  TDrawApp app;
  const int status = run(app, [this] {
    // The display holds the FIFO open for reading: a writer gets in at once.
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "2 4 1 1 5 5 1 0 ", 16), 16);
    ::close(writer);
  });
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(exists(path)) << "the FIFO it opened is removed like a file";
}

TEST_F(DisplayEndingTest, WhileAnotherDisplayFollowsTheFileTheCloseLeavesIt) {
  std::ofstream(path) << "1 0 ";
  CommandFile other;
  ASSERT_TRUE(other.Open(path.c_str()));
  TDrawApp app;
  EXPECT_EQ(run(app), 0);
  EXPECT_TRUE(exists(path));
  EXPECT_TRUE(other.RemoveIfSame()) << "the other display, closing last, removes it";
}

TEST_F(DisplayEndingTest, AFileThatReplacedTheOpenedOneIsLeftAlone) {
  std::ofstream(path).close();
  TDrawApp app;
  EXPECT_EQ(run(app,
                [this] {
                  std::ofstream(path + ".new") << "1 0 ";
                  std::rename((path + ".new").c_str(), path.c_str());
                  TApplication::Current()->GetMainWindow()->PostMessage(WM_CLOSE);
                }),
            0);
  EXPECT_TRUE(exists(path)) << "the newcomer is not the file that was opened";
}

TEST_F(DisplayEndingTest, SigtermClosesTheDisplayAndDeletesTheFile) {
  std::ofstream(path).close();
  TDrawApp app;
  EXPECT_EQ(run(app, [] { ::raise(SIGTERM); }), 0);
  EXPECT_FALSE(exists(path));
  EXPECT_EQ(app.GetMainWindow(), nullptr);
}

TEST_F(DisplayEndingTest, RefusedKindsShowTheMissingFileBoxesAndEndWithOne) {
  ::mkdir((dir + "/folder").c_str(), 0700);
  for (const std::string& name : {dir + "/folder", std::string("/dev/null")}) {
    pfile = name.c_str();
    EXPECT_EXIT(
        {
          TDrawApp app;
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
        TDrawApp app;
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
        {
          TDrawApp app;
          app.Run();
        }
        // A file made anew under the same name after the run.
        std::ofstream(pfile) << "kept";
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_TRUE(exists(path));
}
