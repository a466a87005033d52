// The file watch: which file it follows, one call for a burst, no storm of
// calls once a FIFO's writer hung up, stopping from inside its own call, and
// failing soft where no watch can be set up.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "tests/framework/FrameworkTestSupport.h"
#include "tests/framework/application/LoopWait.h"
#include "framework/application/FileWatch.h"

namespace {

void put(int fd, const std::string& bytes) {
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

class FileWatchTest : public ::testing::Test {
protected:
  void SetUp() override {
    path = testing::TempDir() + "zorva-watch-" + std::to_string(::getpid());
    ::unlink(path.c_str());
  }
  void TearDown() override {
    for (int fd : fds) ::close(fd);
    ::unlink(path.c_str());
    TFileWatch::SetEnabled(true);
  }
  int open(int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
    EXPECT_GE(fd, 0) << path;
    fds.push_back(fd);
    return fd;
  }

  TTestApp app;
  std::string path;
  std::vector<int> fds;
};

TEST_F(FileWatchTest, FollowsTheOpenedFileThroughWritesTruncationAndUnlinking) {
  const int writer = open(O_CREAT | O_WRONLY | O_APPEND);
  const int reader = open(O_RDONLY);
  TFileWatch watch;
  int calls = 0;
  ASSERT_TRUE(watch.Watch(reader, [&calls] { ++calls; }));
  EXPECT_TRUE(watch.IsWatching());

  put(writer, "2 4 1 1 5 5 ");
  EXPECT_TRUE(RunUntil([&] { return calls == 1; }));
  ASSERT_EQ(::ftruncate(writer, 0), 0);
  EXPECT_TRUE(RunUntil([&] { return calls == 2; })) << "cutting the file shorter is a change";

  // The name goes; the file the descriptor holds is still watched.
  ASSERT_EQ(::unlink(path.c_str()), 0);
  put(writer, "2 4 1 1 5 5 ");
  EXPECT_TRUE(RunUntil([&] { return calls == 3; }));

  // A new file under the old name is another file.
  const int other = open(O_CREAT | O_WRONLY | O_APPEND);
  AwaitSentinelWatch(other, [&] { put(other, "2 4 1 1 5 5 "); });
  EXPECT_EQ(calls, 3);

  watch.Stop();
  EXPECT_FALSE(watch.IsWatching());
  AwaitSentinelWatch(reader, [&] { put(writer, "2 4 1 1 5 5 "); });
  EXPECT_EQ(calls, 3) << "a stopped watch reports nothing";
}

TEST_F(FileWatchTest, ABurstOfWritesIsOneCall) {
  const int writer = open(O_CREAT | O_WRONLY | O_APPEND);
  TFileWatch watch;
  int calls = 0;
  ASSERT_TRUE(watch.Watch(writer, [&calls] { ++calls; }));
  for (int i = 0; i < 200; ++i) {
    put(writer, "2 4 1 1 5 5 ");
    if (i == 100) {
      ASSERT_EQ(::ftruncate(writer, 0), 0);
    }
  }
  RunUntil([&] { return calls > 0; });
  Turns(50);
  EXPECT_EQ(calls, 1);
  put(writer, "1 0 ");
  EXPECT_TRUE(RunUntil([&] { return calls == 2; })) << "the watch goes on after the burst";
}

TEST_F(FileWatchTest, AFifoWhoseWriterHungUpCausesNoStormOfCalls) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const int reader = open(O_RDONLY | O_NONBLOCK);
  const int writer = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  TFileWatch watch;
  int calls = 0;
  ASSERT_TRUE(watch.Watch(reader, [&calls] { ++calls; }));

  put(writer, "2 4 1 1 5 5 ");
  ::close(writer);
  RunUntil([&] { return calls > 0; });
  // The FIFO now stays readable (its bytes, then the end of file) without
  // anything new arriving.
  Turns(200);
  EXPECT_EQ(calls, 1);
  char buf[64];
  EXPECT_EQ(::read(reader, buf, sizeof buf), 12);
  EXPECT_EQ(::read(reader, buf, sizeof buf), 0) << "the writer hung up";
  Turns(200);
  EXPECT_EQ(calls, 1);

  const int again = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(again, 0);
  put(again, "1 0 ");
  ::close(again);
  EXPECT_TRUE(RunUntil([&] { return calls == 2; })) << "a new writer's bytes are reported";
}

TEST_F(FileWatchTest, TheCallMayStopOrDestroyTheWatchAndItsExceptionIsKept) {
  const int writer = open(O_CREAT | O_WRONLY | O_APPEND);
  auto watch = std::make_unique<TFileWatch>();
  int calls = 0;
  ASSERT_TRUE(watch->Watch(writer, [&] {
    ++calls;
    watch.reset();
  }));
  put(writer, "2 4 1 1 5 5 ");
  RunUntil([&] { return calls == 1; });
  EXPECT_EQ(watch, nullptr);
  AwaitSentinelWatch(writer, [&] { put(writer, "2 4 1 1 5 5 "); });
  EXPECT_EQ(calls, 1);

  TFileWatch stopping;
  ASSERT_TRUE(stopping.Watch(writer, [&] {
    ++calls;
    stopping.Stop();
    throw std::runtime_error("raised in the call");
  }));
  put(writer, "2 4 1 1 5 5 ");
  RunUntil([&] { return calls == 2; });
  EXPECT_FALSE(stopping.IsWatching());
  EXPECT_TRUE(app.HoldsDelivery()) << "kept for the loop to report";
  EXPECT_THROW(app.ResumeThrow(), std::runtime_error);
  EXPECT_FALSE(app.HoldsDelivery()) << "raised once, then no longer kept";
}

TEST_F(FileWatchTest, FailsSoftWhereNoWatchCanBeSetUp) {
  const int writer = open(O_CREAT | O_WRONLY | O_APPEND);
  TFileWatch watch;
  int calls = 0;
  const auto count = [&calls] { ++calls; };
  EXPECT_FALSE(watch.Watch(-1, count));
  const int closed = ::dup(writer);
  ::close(closed);
  EXPECT_FALSE(watch.Watch(closed, count));

  // No descriptor left for the notification itself.
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  const int lowestFree = ::dup(writer);
  ::close(lowestFree);
  rlimit tight = limit;
  tight.rlim_cur = static_cast<rlim_t>(lowestFree);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
  const bool watched = watch.Watch(writer, count);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
  EXPECT_FALSE(watched);

  TFileWatch::SetEnabled(false);
  EXPECT_FALSE(watch.Watch(writer, count));
  TFileWatch::SetEnabled(true);
  EXPECT_FALSE(watch.IsWatching());
  AwaitSentinelWatch(writer, [&] { put(writer, "2 4 1 1 5 5 "); });
  EXPECT_EQ(calls, 0);

  EXPECT_TRUE(watch.Watch(writer, count)) << "a later watch may succeed";
}

}  // namespace
