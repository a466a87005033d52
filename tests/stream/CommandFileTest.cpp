// The display's command file: what it opens (never blocking, only regular
// files and FIFOs), how a FIFO is followed across writers, and which name
// its removal takes away.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "stream/CommandFile.h"
#include "stream/CommandStream.h"
#include "stream/DisplayState.h"
#include "stream/HeadlessHost.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/RecordingSurface.h"

namespace {

class CommandFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    char name[] = "/tmp/zorva-cmdfile-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir = name;
  }
  void TearDown() override {
    ::alarm(0);
    std::system(("rm -rf '" + dir + "'").c_str());
  }
  std::string at(const std::string& name) const { return dir + "/" + name; }
  std::string make(const std::string& name, const std::string& text = "") const {
    std::ofstream(at(name)) << text;
    return at(name);
  }
  static bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
  }
  static std::string read(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path).rdbuf();
    return s.str();
  }

  std::string dir;
};

}  // namespace

// --- Opening ---------------------------------------------------------------

TEST_F(CommandFileTest, OpensARegularFileAndAFifoWithoutBlocking) {
  CommandFile file;
  ASSERT_TRUE(file.Open(make("plain.zv").c_str()));
  EXPECT_GE(file.Descriptor(), 0);
  EXPECT_FALSE(file.Input().fifo);
  EXPECT_TRUE(::fcntl(file.Descriptor(), F_GETFD) & FD_CLOEXEC);

  ASSERT_EQ(::mkfifo(at("pipe.zv").c_str(), 0600), 0);
  ::alarm(20);  // a blocking open would hang here: end the test run instead
  CommandFile fifo;
  ASSERT_TRUE(fifo.Open(at("pipe.zv").c_str())) << "a FIFO without a writer opens at once";
  ::alarm(0);
  EXPECT_TRUE(fifo.Input().fifo);
  EXPECT_TRUE(::fcntl(fifo.Descriptor(), F_GETFL) & O_NONBLOCK);
}

TEST_F(CommandFileTest, RefusesWhatIsNeitherARegularFileNorAFifo) {
  ::mkdir(at("folder").c_str(), 0700);
  make("file.zv");
  const std::string socketPath = at("sock");
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

  struct Case {
    std::string name;
    const char* refused;  // the kind, or null for a system error
    int error;
  } cases[] = {
      {at("folder"), "a directory", 0},
      {at("folder") + "/", "a directory", 0},
      {dir + "/.", "a directory", 0},
      {"/", "a directory", 0},
      {"/dev/null", "a device", 0},
      {socketPath, "a socket", 0},
      {at("missing.zv"), nullptr, ENOENT},
      {at("nowhere/file.zv"), nullptr, ENOENT},
      {at("file.zv") + "/", nullptr, ENOTDIR},
      {"", nullptr, ENOENT},
  };
  for (const Case& c : cases) {
    CommandFile file;
    EXPECT_FALSE(file.Open(c.name.c_str())) << c.name;
    EXPECT_EQ(file.Descriptor(), -1) << c.name;
    if (c.refused) {
      ASSERT_NE(file.Input().refused, nullptr) << c.name;
      EXPECT_STREQ(file.Input().refused, c.refused) << c.name;
      EXPECT_EQ(file.Input().Problem(), std::string(c.refused) + ", not a regular file or a FIFO");
    } else {
      EXPECT_EQ(file.Input().refused, nullptr) << c.name;
      EXPECT_EQ(file.Input().error, c.error) << c.name;
      EXPECT_EQ(file.Input().Problem(), std::strerror(c.error)) << c.name;
    }
  }
  CommandFile none;
  EXPECT_FALSE(none.Open(nullptr));
  EXPECT_EQ(none.Input().error, ENOENT);
  EXPECT_TRUE(exists(at("folder"))) << "a refused folder is left alone";
  ::close(sock);
}

TEST_F(CommandFileTest, AFifoIsFollowedAcrossWritersWithoutSpinning) {
  ASSERT_EQ(::mkfifo(at("pipe.zv").c_str(), 0600), 0);
  CommandFile file;
  ASSERT_TRUE(file.Open(at("pipe.zv").c_str()));
  DisplayState state;
  std::ostringstream trace;
  RecordingSurface recorder(trace);
  TClientDC dc(recorder);
  HeadlessHost host(800, 600);
  CommandStream stream(host, state, file.Descriptor(), &dc);
  // Each polling step must come back (no writer, a silent writer, a gone
  // writer are all "no new bytes") and re-arm the timer: the timer paces
  // the reads.
  auto step = [&] {
    host.timerArmed = false;
    stream.EvTimer(1);
    EXPECT_TRUE(host.timerArmed);
  };
  step();  // no writer yet
  EXPECT_EQ(state.displayList.Count(), 0);

  const int writer = ::open(at("pipe.zv").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  step();  // a writer with nothing written yet
  ASSERT_EQ(::write(writer, "2 4 1 1 5 5 ", 12), 12);
  step();
  EXPECT_EQ(state.displayList.Count(), 1);
  ::close(writer);
  step();  // the writer has gone
  step();

  const int next = ::open(at("pipe.zv").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(next, 0);
  ASSERT_EQ(::write(next, "2 4 2 2 6 6 1 0 ", 16), 16);
  ::close(next);
  host.closePosted = false;
  stream.EvTimer(1);
  EXPECT_EQ(state.displayList.Count(), 2) << "the next writer's items are read";
  EXPECT_TRUE(host.closePosted) << "and its exit item";
}

// --- Removal ---------------------------------------------------------------

TEST_F(CommandFileTest, RemovesTheNameItOpenedAndOnlyOnce) {
  const std::string path = make("f.zv");
  ASSERT_EQ(::link(path.c_str(), at("g.zv").c_str()), 0);
  CommandFile file;
  ASSERT_TRUE(file.Open(path.c_str()));
  EXPECT_TRUE(file.RemoveIfSame());
  EXPECT_FALSE(exists(path));
  // The same file under the old name again (its second link renamed back):
  // nothing is removed twice.
  ASSERT_EQ(std::rename(at("g.zv").c_str(), path.c_str()), 0);
  EXPECT_FALSE(file.RemoveIfSame());
  EXPECT_TRUE(exists(path));
}

TEST_F(CommandFileTest, KeepsAFileThatReplacedTheOpenedOne) {
  for (const bool byRename : {true, false}) {
    const std::string path = make("f.zv", "opened");
    CommandFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    if (byRename) {
      ASSERT_EQ(std::rename(make("new.zv", "newcomer").c_str(), path.c_str()), 0);
    } else {
      ASSERT_EQ(::unlink(path.c_str()), 0);
      make("f.zv", "newcomer");
    }
    EXPECT_FALSE(file.RemoveIfSame()) << (byRename ? "renamed over" : "made anew");
    EXPECT_EQ(read(path), "newcomer");
    ::unlink(path.c_str());
  }
}

TEST_F(CommandFileTest, RemovesThroughTheDirectoryItOpenedNotTheOneThePathNamesNow) {
  ::mkdir(at("A").c_str(), 0700);
  ::mkdir(at("B").c_str(), 0700);
  make("A/f.zv", "opened");
  make("B/f.zv", "other");
  ASSERT_EQ(::symlink("A", at("L").c_str()), 0);
  CommandFile file;
  ASSERT_TRUE(file.Open(at("L/f.zv").c_str()));
  ASSERT_EQ(::unlink(at("L").c_str()), 0);
  ASSERT_EQ(::symlink("B", at("L").c_str()), 0);
  EXPECT_TRUE(file.RemoveIfSame());
  EXPECT_FALSE(exists(at("A/f.zv")));
  EXPECT_EQ(read(at("B/f.zv")), "other");
}

TEST_F(CommandFileTest, ALinkGivenAsTheFileIsRemovedNotItsTarget) {
  make("target.zv", "kept");
  ASSERT_EQ(::symlink("target.zv", at("link.zv").c_str()), 0);
  CommandFile file;
  ASSERT_TRUE(file.Open(at("link.zv").c_str()));
  EXPECT_TRUE(file.RemoveIfSame());
  EXPECT_FALSE(exists(at("link.zv")));
  EXPECT_EQ(read(at("target.zv")), "kept");
}

TEST_F(CommandFileTest, WhileAnotherDisplayFollowsTheFileItStays) {
  const std::string path = make("shared.zv");
  CommandFile first, second;
  ASSERT_TRUE(first.Open(path.c_str()));
  ASSERT_TRUE(second.Open(path.c_str()));
  EXPECT_FALSE(first.RemoveIfSame()) << "the second still follows it";
  EXPECT_TRUE(exists(path));
  // The first gave way: the last one to close removes the file.
  EXPECT_TRUE(second.RemoveIfSame());
  EXPECT_FALSE(exists(path));

  // The same when the other one goes without removing anything: the exit
  // hook's later attempt of the first one succeeds.
  make("shared.zv");
  CommandFile third, fourth;
  ASSERT_TRUE(third.Open(path.c_str()));
  ASSERT_TRUE(fourth.Open(path.c_str()));
  EXPECT_FALSE(third.RemoveIfSame());
  fourth.Close();
  CommandFile::RemoveAtExit(&third);
  EXPECT_FALSE(exists(path));
}

TEST_F(CommandFileTest, APipeReachedThroughItsDescriptorIsFollowedAndLeftAlone) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  CommandFile file;
  ASSERT_TRUE(file.Open(("/proc/self/fd/" + std::to_string(ends[0])).c_str()));
  EXPECT_TRUE(file.Input().fifo);
  EXPECT_FALSE(file.RemoveIfSame());
  ASSERT_EQ(::write(ends[1], "ab", 2), 2);
  char got[2];
  EXPECT_EQ(::read(file.Descriptor(), got, 2), 2) << "the pipe still works";
  ::close(ends[0]);
  ::close(ends[1]);
}

TEST_F(CommandFileTest, ClosingReleasesEverything) {
  const std::string path = make("f.zv");
  CommandFile file;
  ASSERT_TRUE(file.Open(path.c_str()));
  const int fd = file.Descriptor();
  file.Close();
  EXPECT_EQ(file.Descriptor(), -1);
  EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
  EXPECT_FALSE(file.RemoveIfSame()) << "a closed file removes nothing";
  EXPECT_TRUE(exists(path));
  // Its lock went with it: a new display is alone with the file.
  CommandFile next;
  ASSERT_TRUE(next.Open(path.c_str()));
  EXPECT_TRUE(next.RemoveIfSame());
}
