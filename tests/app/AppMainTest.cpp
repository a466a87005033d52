// The entry function before the display window exists: a box first tells a
// waiting launcher that the program is ready and also writes its text on
// standard error; a display without a screen sends the launcher its reason.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/AppMain.h"
#include "app/CommandLine.h"
#include "app/Readiness.h"
#include "framework/application/ScreenChoice.h"
#include "framework/report/MessageBox.h"
#include "tests/support/OwnProcess.h"

namespace {

bool readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) == 1;
}

class AppMainTest : public ::testing::Test {
protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    readEnd = fds[0];
    readinessFd = fds[1];
    previous = SetMessagePresenter([this](const std::string& t, const std::string& c, unsigned) {
      boxes.push_back(c + "|" + t + (readable(readEnd) ? "|launcher told" : "|launcher waits"));
      return static_cast<int>(IDOK);
    });
  }
  void TearDown() override {
    SetMessagePresenter(previous);
    SetMessageBoxHook({});
    SetMessageEcho(false);
    if (readinessFd >= 0) close(readinessFd);
    readinessFd = -1;
    close(readEnd);
  }

  int readEnd = -1;
  std::vector<std::string> boxes;
  MessagePresenter previous;
};

TEST_F(AppMainTest, TheUsageBoxSignalsReadinessFirstAndReachesStandardError) {
  char prog[] = "/usr/bin/zorvad", a[] = "a", b[] = "b", c[] = "c";
  char* argv[] = {prog, a, b, c, nullptr};
  testing::internal::CaptureStderr();
  EXPECT_EQ(AppMain(4, argv), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(UsageCaption) + ": " + UsageText + "\n");
  EXPECT_EQ(boxes, std::vector<std::string>{std::string(UsageCaption) + "|" + UsageText + "|launcher told"});
  EXPECT_EQ(readinessFd, -1);
  EXPECT_EQ(ReadReadiness(readEnd).kind, ReadinessAnswer::Ready);
}

TEST_F(AppMainTest, ADisplayWithoutAScreenSendsItsReasonAndKeepsTheFile) {
  if (!InOwnProcess()) return;  // needs a process without an application object
  const char* names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
  std::optional<std::string> saved[3];
  for (int i = 0; i < 3; ++i) {
    if (const char* v = getenv(names[i])) saved[i] = v;
    unsetenv(names[i]);
  }
  const std::string file = testing::TempDir() + "zorva-noscreen-" + std::to_string(getpid()) + ".zv";
  std::ofstream(file) << "2 4 1 1 5 5 ";
  char prog[] = "/usr/bin/zorvad";
  std::string fileArg = file;
  char* argv[] = {prog, fileArg.data(), nullptr};

  EXPECT_THROW(AppMain(2, argv), TXNoScreen);

  for (int i = 0; i < 3; ++i)
    if (saved[i]) setenv(names[i], saved[i]->c_str(), 1);
  EXPECT_EQ(readinessFd, -1);
  const ReadinessAnswer answer = ReadReadiness(readEnd);
  EXPECT_EQ(answer.kind, ReadinessAnswer::NotReady);
  EXPECT_EQ(answer.reason, "no display: neither DISPLAY nor WAYLAND_DISPLAY is set");
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_TRUE(boxes.empty());
  std::filesystem::remove(file);
}

}  // namespace
