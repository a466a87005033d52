// zorva-render's output file: never its own input, whatever the name; a
// picture appears whole or the old file stays; a new file gets the umask's
// mode and a replaced one keeps its own; a FIFO is written in place.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/TestFiles.h"
#include "tests/tools/ToolRun.h"

namespace {

class RenderOutput : public testing::Test {
protected:
  void SetUp() override {
    dir = MakeTempFolder("zorva-render-out");
    ASSERT_FALSE(dir.empty());
  }
  void TearDown() override { RemoveTree(dir); }

  std::string path(const std::string& name) const { return dir + "/" + name; }
  std::set<std::string> names() const { return FileNames(dir); }

  // Runs zorva-render with `args` in the test's folder, through the shell
  // (after `prefix`), with standard error on standard output.
  ToolRun render(const std::string& args, const std::string& prefix = "") const {
    return runCommand("cd '" + dir + "' && " + prefix + renderCommand(args) + " 2>&1");
  }

  std::string dir;
};

// Many lines in many colours: a PNG file of some kilobytes.
std::string busyPicture() {
  std::string bytes = "0 0 ";
  for (int i = 0; i < 300; ++i)
    bytes += "4 3 " + std::to_string(i * 37 % 256) + " " + std::to_string(i * 91 % 256) + " 200 2 4 " +
             std::to_string(i * 13 % 800) + " " + std::to_string(i * 7 % 600) + " " + std::to_string(i * 29 % 800) +
             " " + std::to_string(i * 17 % 600) + " ";
  return bytes;
}

}  // namespace

TEST_F(RenderOutput, ItsOwnInputIsRefusedByAnyName) {
  const std::string bytes = "0 0 2 4 10 20 110 20 ";
  WriteBytes(path("same.png"), bytes);
  ASSERT_EQ(::symlink("same.png", path("link.png").c_str()), 0);
  ASSERT_EQ(::link(path("same.png").c_str(), path("hard.svg").c_str()), 0);
  struct Case {
    std::string args, out;
  } cases[] = {
      {"-o same.png same.png", "same.png"},
      {"-o ./same.png " + path("same.png"), "./same.png"},
      {"-o link.png same.png", "link.png"},
      {"-o same.png link.png", "same.png"},
      {"-o hard.svg same.png", "hard.svg"},
      {"--trace -o same.png - < same.png", "same.png"},
  };
  for (const Case& c : cases) {
    const ToolRun r = render(c.args);
    EXPECT_EQ(r.status, 1) << c.args;
    EXPECT_EQ(r.out, "zorva-render: cannot write " + c.out + ": it is the input file\n") << c.args;
    EXPECT_EQ(ReadBytes(path("same.png")), bytes) << c.args;
  }
  EXPECT_EQ(names(), (std::set<std::string>{"same.png", "link.png", "hard.svg"}));
}

TEST_F(RenderOutput, AFailedWriteLeavesTheOldFileAndNothingElse) {
  WriteBytes(path("busy.zv"), busyPicture());
  for (const char* out : {"old.png", "old.svg", "old.pdf"}) {
    WriteBytes(path(out), "the old picture");
    // Files may grow to 1 KB only; the failed write then reports an error
    // (its signal ignored).
    const ToolRun r = render(std::string("-o ") + out + " busy.zv", "trap '' XFSZ; ulimit -f 1; ");
    EXPECT_EQ(r.status, 1) << out;
    EXPECT_EQ(r.out, std::string("zorva-render: cannot write ") + out + ": File too large\n");
    EXPECT_EQ(ReadBytes(path(out)), "the old picture") << out;
  }
  EXPECT_EQ(names(), (std::set<std::string>{"busy.zv", "old.png", "old.svg", "old.pdf"}));
  // Without the limit the same runs replace the files.
  for (const char* out : {"old.png", "old.svg", "old.pdf"}) {
    EXPECT_EQ(render(std::string("-o ") + out + " busy.zv").status, 0) << out;
    EXPECT_GT(ReadBytes(path(out)).size(), 1024u) << out;
  }
  EXPECT_EQ(names().size(), 4u);
}

TEST_F(RenderOutput, ANewFileGetsTheUmasksModeAReplacedOneKeepsItsOwn) {
  WriteBytes(path("in.zv"), "0 0 2 4 10 20 110 20 ");
  for (const char* out : {"new.png", "new.svg"}) {
    ASSERT_EQ(render(std::string("-o ") + out + " in.zv", "umask 027; ").status, 0);
    EXPECT_EQ(FileMode(path(out)), 0640u) << out;
    ASSERT_EQ(::chmod(path(out).c_str(), 0604), 0);
    WriteBytes(path("in.zv"), "0 0 2 4 10 40 110 40 ");
    ASSERT_EQ(render(std::string("-o ") + out + " in.zv", "umask 077; ").status, 0);
    EXPECT_EQ(FileMode(path(out)), 0604u) << out;
  }
}

TEST_F(RenderOutput, AFifoIsWrittenInPlace) {
  WriteBytes(path("in.zv"), "0 0 2 4 10 20 110 20 ");
  ASSERT_EQ(::mkfifo(path("out.svg").c_str(), 0600), 0);
  // A reader that the shell waits for before it returns.
  const ToolRun r = runCommand("cd '" + dir + "' && { cat out.svg > got.svg & } && " +
                               renderCommand("-o out.svg in.zv") + " 2>&1; status=$?; wait; exit $status");
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string got = ReadBytes(path("got.svg"));
  EXPECT_EQ(got.rfind("<?xml", 0), 0u);
  EXPECT_NE(got.find("</svg>"), std::string::npos);
  struct stat st;
  ASSERT_EQ(::stat(path("out.svg").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "still the FIFO";
}
