#include <gtest/gtest.h>

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/Launcher.h"
#include "app/Readiness.h"
#include "framework/report/MessageBox.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string Child = ZORVA_BIN_DIR "/zorva_test_child";

std::map<std::string, std::string> readReport(const std::string& file) {
  std::map<std::string, std::string> report;
  std::ifstream in(file + ".out");
  for (std::string line; std::getline(in, line);) {
    const auto eq = line.find('=');
    if (eq != std::string::npos) report[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return report;
}

// True when this process has no child left, not even one waiting to be
// reaped.
bool noChildLeft() { return waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD; }

class LauncherTest : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zorva-launch-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    previous = SetMessagePresenter([this](const std::string& t, const std::string& c, unsigned s) {
      boxes.push_back(t + "|" + c + "|" + std::to_string(s));
      return IDOK;
    });
  }
  void TearDown() override {
    SetMessagePresenter(previous);
    while (waitpid(-1, nullptr, 0) > 0) {
    }
    fs::remove_all(dir);
  }

  std::string commandFile(const std::string& name, const std::string& mode) {
    const std::string path = dir + "/" + name;
    std::ofstream(path) << mode << "\n";
    return path;
  }

  static LaunchOptions options(std::string program = Child) {
    LaunchOptions o;
    o.program = std::move(program);
    return o;
  }

  std::string dir;
  std::vector<std::string> boxes;
  MessagePresenter previous;
};

TEST_F(LauncherTest, ReadyChildGetsTwoArgumentsAndAClearedStart) {
  // A stale variable of our own and a descriptor without close-on-exec must
  // not reach the child.
  setenv(ReadinessFdVariable, "999", 1);
  int leak[2];
  ASSERT_EQ(pipe(leak), 0);
  const std::string file = commandFile("ready.cmd", "ready");

  EXPECT_EQ(RunLauncher(file.c_str(), options()), 0);
  close(leak[0]);
  close(leak[1]);
  unsetenv(ReadinessFdVariable);

  int status = -1;
  ASSERT_GT(waitpid(-1, &status, 0), 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const std::map<std::string, std::string> expected{
      {"argc", "2"},          {"argv0", Child},     {"argv1", file},
      {"variable", "absent"}, {"readyfd", "valid"}, {"cloexec", "1"},
      {"session", "own"},     {"stdio", "devnull"}, {"otherfds", "none"},
  };
  EXPECT_EQ(readReport(file), expected);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LauncherTest, ReturnsWhileAReadyChildLivesOn) {
  const std::string file = commandFile("hold.cmd", "ready-hold");
  EXPECT_EQ(RunLauncher(file.c_str(), options()), 0);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), 0);  // still running
  fs::remove(file);
  EXPECT_GT(waitpid(-1, nullptr, 0), 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LauncherTest, ChildEndingUnreadyIsReaped) {
  const std::string file = commandFile("exit.cmd", "exit");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunLauncher(file.c_str(), options()), 0);  // status 0: nothing failed
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(noChildLeft());
  EXPECT_EQ(readReport(file)["readyfd"], "valid");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LauncherTest, ChildFailingBeforeItIsReadyIsReportedWithStatusOne) {
  struct Case {
    const char* mode;
    std::string line;
  };
  const Case cases[] = {
      {"fail", "zorva_test_child: no display here\n"},
      {"status3", "zorva_test_child: the display ended with status 3 before its window appeared\n"},
      {"killed",
       "zorva_test_child: the display was ended by signal 15 (Terminated) before its window appeared\n"},
  };
  for (const Case& c : cases) {
    const std::string file = commandFile(std::string(c.mode) + ".cmd", c.mode);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunLauncher(file.c_str(), options()), 1) << c.mode;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line);
    EXPECT_TRUE(noChildLeft()) << c.mode;
    EXPECT_TRUE(fs::exists(file)) << c.mode;
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LauncherTest, AfterTheTimeOutItWaitsForTheChildsEnd) {
  const std::string file = commandFile("slow.cmd", "slow");
  LaunchOptions o = options();
  o.readyTimeout = 200ms;
  o.exitPoll = 100ms;
  EXPECT_EQ(RunLauncher(file.c_str(), o), 0);
  EXPECT_TRUE(fs::exists(file + ".done"));  // the child ran to its end
  EXPECT_TRUE(noChildLeft());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LauncherTest, ProgramThatCannotRunIsReportedWithStatusOne) {
  const std::string plain = dir + "/not executable";
  std::ofstream(plain) << "#!/bin/sh\n";
  for (const std::string& program : {dir + "/no such program", plain, dir, std::string()}) {
    boxes.clear();
    const std::string file = commandFile("x.cmd", "ready");
    EXPECT_EQ(RunLauncher(file.c_str(), options(program)), 1) << program;
    EXPECT_EQ(boxes, std::vector<std::string>{"Error creating child process\n|Error|0"}) << program;
    EXPECT_TRUE(noChildLeft()) << program;
  }
}

TEST_F(LauncherTest, BlanksAndLongPathsArriveIntact) {
  const std::string blanks = dir + "/dir with blanks";
  const std::string longDir = dir + "/" + std::string(200, 'd') + "/" + std::string(200, 'e');
  fs::create_directories(blanks);
  fs::create_directories(longDir);
  const std::string program = blanks + "/zorva test child";
  fs::copy_file(Child, program);
  struct Case {
    std::string program;
    std::string file;
  };
  const Case cases[] = {
      {program, commandFile("a file  with\tblanks.cmd", "ready")},
      {program, commandFile("\"quoted\" 'and' \\back\\slashed.cmd", "ready")},
      {Child, longDir.substr(dir.size() + 1) + "/long.cmd"},
  };
  std::ofstream(longDir + "/long.cmd") << "ready\n";
  for (const auto& c : cases) {
    const std::string file = c.file[0] == '/' ? c.file : dir + "/" + c.file;
    ASSERT_EQ(RunLauncher(file.c_str(), options(c.program)), 0) << file;
    ASSERT_GT(waitpid(-1, nullptr, 0), 0);
    auto report = readReport(file);
    EXPECT_EQ(report["argc"], "2") << file;
    EXPECT_EQ(report["argv0"], c.program);
    EXPECT_EQ(report["argv1"], file);
  }
  EXPECT_GT(longDir.size(), 400u);  // longer than any fixed command-line buffer
  EXPECT_TRUE(boxes.empty());
}

TEST(OwnProgramPath, IsThisProgramsFile) {
  const std::string own = LaunchOptions::OwnProgramPath();
  EXPECT_EQ(fs::path(own).filename(), "test_app");
  EXPECT_TRUE(fs::equivalent(own, "/proc/self/exe"));
  EXPECT_EQ(LaunchOptions().program, own);
  EXPECT_EQ(LaunchOptions().readyTimeout, 30000ms);
  EXPECT_EQ(LaunchOptions().exitPoll, 1000ms);
}

}  // namespace
