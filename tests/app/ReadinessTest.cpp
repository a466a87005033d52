#include <gtest/gtest.h>

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "app/Readiness.h"

namespace {

struct Pipe {
  int r = -1, w = -1;
  Pipe() {
    int fds[2];
    if (pipe(fds) == 0) r = fds[0], w = fds[1];
  }
  ~Pipe() {
    if (r >= 0) close(r);
    if (w >= 0) close(w);
  }
};

bool isOpen(int fd) { return fcntl(fd, F_GETFD) >= 0 || errno != EBADF; }

TEST(TakeReadinessFd, AcceptsOnlyAnOpenPipeAndRemovesTheVariable) {
  Pipe pipe;
  const int file = open("/dev/null", O_RDONLY);
  int closed = dup(file);
  close(closed);
  struct Case {
    std::string value;
    bool valid;
  };
  const Case cases[] = {
      {std::to_string(pipe.w), true},
      {"", false},
      {"abc", false},
      {std::to_string(pipe.w) + "x", false},
      {" " + std::to_string(pipe.w), false},
      {"-1", false},
      {"99999999999999999999", false},
      {std::to_string(file), false},    // open, but not a pipe
      {std::to_string(closed), false},  // not open
  };
  for (const auto& c : cases) {
    setenv(ReadinessFdVariable, c.value.c_str(), 1);
    const int fd = TakeReadinessFd();
    EXPECT_EQ(fd, c.valid ? pipe.w : -1) << '"' << c.value << '"';
    EXPECT_EQ(getenv(ReadinessFdVariable), nullptr) << '"' << c.value << '"';
  }
  EXPECT_TRUE(fcntl(pipe.w, F_GETFD) & FD_CLOEXEC);
  unsetenv(ReadinessFdVariable);
  EXPECT_EQ(TakeReadinessFd(), -1);
  close(file);
}

TEST(SignalReady, WritesOneByteAndCloses) {
  Pipe pipe;
  SignalReady(pipe.w);
  EXPECT_FALSE(isOpen(pipe.w));
  pipe.w = -1;
  char buf[4];
  EXPECT_EQ(read(pipe.r, buf, sizeof buf), 1);
  EXPECT_EQ(read(pipe.r, buf, sizeof buf), 0);  // end of file: nothing else held it
}

TEST(SignalReady, SurvivesALauncherThatIsGone) {
  Pipe pipe;
  close(pipe.r);
  pipe.r = -1;
  SignalReady(pipe.w);  // SIGPIPE would end the test program here
  EXPECT_FALSE(isOpen(pipe.w));
  pipe.w = -1;
  sigset_t pending;
  sigpending(&pending);
  EXPECT_FALSE(sigismember(&pending, SIGPIPE));
  SignalReady(-1);
}

TEST(ReadReadiness, TellsReadyFromAReasonAndFromAnEnd) {
  {
    Pipe pipe;
    SignalReady(pipe.w);
    pipe.w = -1;
    EXPECT_EQ(ReadReadiness(pipe.r).kind, ReadinessAnswer::Ready);
  }
  {
    Pipe pipe;
    SignalNotReady(pipe.w, "cannot connect to X display \":9\"");
    pipe.w = -1;
    const ReadinessAnswer answer = ReadReadiness(pipe.r);
    EXPECT_EQ(answer.kind, ReadinessAnswer::NotReady);
    EXPECT_EQ(answer.reason, "cannot connect to X display \":9\"");
  }
  {
    Pipe pipe;
    close(pipe.w);
    pipe.w = -1;
    EXPECT_EQ(ReadReadiness(pipe.r).kind, ReadinessAnswer::Closed);
  }
  {
    // A reason longer than the limit arrives cut, in one piece.
    Pipe pipe;
    SignalNotReady(pipe.w, std::string(ReasonLimit + 100, 'r'));
    pipe.w = -1;
    const ReadinessAnswer answer = ReadReadiness(pipe.r);
    EXPECT_EQ(answer.kind, ReadinessAnswer::NotReady);
    EXPECT_EQ(answer.reason, std::string(ReasonLimit, 'r'));
  }
  {
    // A writer that sends the failure byte and holds the pipe open: the
    // reason read so far, after the wait for more.
    Pipe pipe;
    const char partial[] = "\x02partial";
    ASSERT_EQ(write(pipe.w, partial, sizeof partial - 1), static_cast<ssize_t>(sizeof partial - 1));
    const ReadinessAnswer answer = ReadReadiness(pipe.r, 50);
    EXPECT_EQ(answer.kind, ReadinessAnswer::NotReady);
    EXPECT_EQ(answer.reason, "partial");
  }
  SignalNotReady(-1, "nobody listens");
}

}  // namespace
