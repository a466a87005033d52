#pragma once
// Runs the current test in a process of its own: a fresh start of the test
// program that runs only this test. For a test that needs what a process
// has only once, such as a process without an application object: earlier
// tests of the same program may have left one (a box makes one that lives
// until the process ends).
//
//   TEST(Suite, Name) {
//     if (!InOwnProcess()) return;
//     ...  // runs in the fresh process only
//   }
//
// In the process that runs the tests, InOwnProcess starts the fresh one,
// waits for its end and returns false; the test fails unless that process
// ends with status 0, that is unless every check passed there. Its output
// goes where this process's goes; it gets no GTEST_ variables (an output
// file of this process is not its). A watchdog ends it after two minutes.
// In the fresh process InOwnProcess returns true.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

inline bool InOwnProcess() {
  // The fresh process is told by this variable which test it is.
  constexpr const char* kVariable = "ZORVA_TEST_OWN_PROCESS";
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = std::string(test->test_suite_name()) + "." + test->name();
  if (const char* mine = getenv(kVariable); mine && name == mine) {
    unsetenv(kVariable);  // not handed on to what the test starts
    return true;
  }

  std::string self = "/proc/self/exe";
  std::string filter = "--gtest_filter=" + name;
  std::vector<char*> argv = {self.data(), filter.data(), nullptr};
  std::string mark = std::string(kVariable) + "=" + name;
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("GTEST_", 0) != 0 && entry.rfind(std::string(kVariable) + "=", 0) != 0) env.push_back(*e);
  }
  env.push_back(mark.data());
  env.push_back(nullptr);

  std::fflush(nullptr);  // this process's report so far comes before the fresh one's
  pid_t pid = -1;
  const int error = posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), env.data());
  if (error != 0) {
    ADD_FAILURE() << "the test's own process did not start: error " << error;
    return false;
  }
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << "watchdog: the test's own process did not end";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const bool passedThere = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  EXPECT_TRUE(passedThere) << "the test failed in its own process (its report is above): wait status "
                           << status;
  return false;
}
