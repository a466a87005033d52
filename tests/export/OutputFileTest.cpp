// The output file: a file appears whole or not at all, with the mode a new
// or replaced file should have; a FIFO is written in place; an output that
// is an input, by any name, is refused.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "export/OutputFile.h"
#include "tests/support/TestFiles.h"

namespace {

class OutputFileTest : public testing::Test {
protected:
  void SetUp() override {
    dir = MakeTempFolder("zorva-output");
    ASSERT_FALSE(dir.empty());
    oldMask = ::umask(022);
  }
  void TearDown() override {
    ::umask(oldMask);
    RemoveTree(dir);
  }

  std::string path(const std::string& name) const { return dir + "/" + name; }
  // The names in the folder: no temporary file may stay behind.
  std::set<std::string> names() const { return FileNames(dir); }

  static bool write(const std::string& p, const std::string& bytes, std::string* reason = nullptr) {
    OutputFile out;
    const bool ok = out.Open(p) && out.Write(bytes.data(), bytes.size()) && out.Commit();
    if (reason) *reason = out.Reason();
    return ok;
  }

  std::string dir;
  mode_t oldMask = 022;
};

}  // namespace

TEST_F(OutputFileTest, ANewFileGetsTheUmasksMode) {
  for (mode_t mask : {022, 077, 002}) {
    ::umask(mask);
    const std::string p = path("new" + std::to_string(mask));
    ASSERT_TRUE(write(p, "picture"));
    EXPECT_EQ(ReadBytes(p), "picture");
    EXPECT_EQ(FileMode(p), 0666u & ~mask) << std::oct << mask;
  }
  EXPECT_EQ(names().size(), 3u);
}

TEST_F(OutputFileTest, AReplacedFileKeepsItsModeAndGetsTheNewBytes) {
  const std::string p = path("kept.png");
  WriteBytes(p, "old bytes, longer than the new ones");
  ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
  ASSERT_TRUE(write(p, "new"));
  EXPECT_EQ(ReadBytes(p), "new");
  EXPECT_EQ(FileMode(p), 0640u);
  EXPECT_EQ(names(), std::set<std::string>{"kept.png"});
}

TEST_F(OutputFileTest, AFailureLeavesTheOldFileAndNoTemporaryFile) {
  const std::string p = path("old.svg");
  WriteBytes(p, "the old picture");
  {
    OutputFile out;
    ASSERT_TRUE(out.Open(p));
    ASSERT_TRUE(out.Write("half a pic", 10));
    EXPECT_EQ(names().size(), 2u) << "the bytes go to a file beside it";
    out.Fail(ENOSPC);
    EXPECT_FALSE(out.Write("ture", 4)) << "nothing more after a failure";
    EXPECT_FALSE(out.Commit());
    EXPECT_EQ(out.Reason(), "No space left on device");
  }
  {
    OutputFile out;  // dropped without a commit
    ASSERT_TRUE(out.Open(p));
    ASSERT_TRUE(out.Write("x", 1));
  }
  EXPECT_EQ(ReadBytes(p), "the old picture");
  EXPECT_EQ(names(), std::set<std::string>{"old.svg"});
}

TEST_F(OutputFileTest, FailuresToOpenGiveTheSystemsReason) {
  std::string reason;
  EXPECT_FALSE(write(path("no-such-folder/x.png"), "x", &reason));
  EXPECT_EQ(reason, "No such file or directory");
  ASSERT_EQ(::mkdir(path("folder").c_str(), 0700), 0);
  EXPECT_FALSE(write(path("folder"), "x", &reason));
  EXPECT_EQ(reason, "Is a directory");
  WriteBytes(path("file"), "");
  EXPECT_FALSE(write(path("file/x.png"), "x", &reason));
  EXPECT_EQ(reason, "Not a directory");
}

TEST_F(OutputFileTest, ALinkedFileIsReplacedAndTheLinkStays) {
  WriteBytes(path("target.png"), "old");
  ASSERT_EQ(::symlink("target.png", path("link.png").c_str()), 0);
  ASSERT_TRUE(write(path("link.png"), "new"));
  struct stat st;
  ASSERT_EQ(::lstat(path("link.png").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadBytes(path("target.png")), "new");
  // A link to a missing file creates that file.
  ASSERT_EQ(::symlink("later.png", path("dangling.png").c_str()), 0);
  ASSERT_TRUE(write(path("dangling.png"), "made"));
  EXPECT_EQ(ReadBytes(path("later.png")), "made");
}

TEST_F(OutputFileTest, AFifoIsWrittenInPlace) {
  const std::string fifo = path("out.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string got;
  std::thread reader([&] { got = ReadBytes(fifo); });
  EXPECT_TRUE(write(fifo, "through the pipe"));
  reader.join();
  EXPECT_EQ(got, "through the pipe");
  EXPECT_EQ(names(), std::set<std::string>{"out.fifo"});
}

TEST_F(OutputFileTest, AnInputIsRefusedByAnyName) {
  const std::string input = path("in.zv");
  WriteBytes(input, "2 4 1 1 5 5 ");
  ASSERT_EQ(::symlink("in.zv", path("link.png").c_str()), 0);
  ASSERT_EQ(::link(input.c_str(), path("hard.png").c_str()), 0);
  FileId id;
  ASSERT_TRUE(FileIdOfPath(input, id));
  const int fd = ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
  FileId byFd;
  ASSERT_TRUE(FileIdOfFd(fd, byFd));
  ::close(fd);
  EXPECT_EQ(id, byFd);
  for (const std::string& name : {input, path("link.png"), path("hard.png"), dir + "/./in.zv"}) {
    SCOPED_TRACE(name);
    std::string reason;
    EXPECT_TRUE(OutputFile::Refused(name, {id}, reason));
    EXPECT_EQ(reason, "it is the input file");
    OutputFile out;
    EXPECT_FALSE(out.Open(name, {id}));
    EXPECT_EQ(out.Reason(), "it is the input file");
  }
  EXPECT_EQ(ReadBytes(input), "2 4 1 1 5 5 ");
  std::string reason;
  EXPECT_FALSE(OutputFile::Refused(path("other.png"), {id}, reason));
}
