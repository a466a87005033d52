// zorva-render's command line: the version, standard input as "-", one
// line for every usage error, the file and the system's reason for every
// failure to read or write, and a manual page that lists every option.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/TestFiles.h"
#include "tests/tools/ToolRun.h"

namespace {

// Standard output and error together.
ToolRun render(const std::string& args) { return runCommand(renderCommand(args) + " 2>&1"); }

class RenderCommandLine : public testing::Test {
protected:
  void SetUp() override {
    dir = MakeTempFolder("zorva-render-cli");
    ASSERT_FALSE(dir.empty());
    file = dir + "/picture.zv";
    std::ofstream(file, std::ios::binary) << "0 0 2 4 10 20 110 20 ";
  }
  void TearDown() override { RemoveTree(dir); }
  std::string dir, file;
};

}  // namespace

TEST_F(RenderCommandLine, VersionIsTheProjects) {
  const ToolRun r = render("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("zorva-render ") + ZORVA_VERSION + "\n");
}

TEST_F(RenderCommandLine, EveryUsageErrorIsOneLineWithStatus2) {
  struct Case {
    std::string args, says;
  } cases[] = {
      {"", "no FILE given"},
      {"--bogus " + file, "unknown option --bogus"},
      {"-x " + file, "unknown option -x"},
      {file + " " + file, "only one FILE"},
      {"--size 0x5 " + file, "--size needs WxH, each side 1 to 16384"},
      {"--size", "--size needs WxH, each side 1 to 16384"},
      {"--scale 9 " + file, "--scale needs a whole number from 1 to 4"},
      {"--threads 0 " + file, "--threads needs a whole number from 1 to 64"},
      {"--threads 65 " + file, "--threads needs a whole number from 1 to 64"},
      {"--threads", "--threads needs a whole number from 1 to 64"},
      {"-o", "-o needs a file name"},
      {"-o out.gif " + file, "the output must end in .png, .svg or .pdf"},
      {"--scale 2 -o x.svg " + file, "--scale is for PNG output; an SVG or PDF picture has no pixels to scale"},
      {"--size 4097x2 --scale 4 " + file, "--scale makes the picture larger than 16384 pixels a side"},
  };
  for (const Case& c : cases) {
    const ToolRun r = render(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.out, "zorva-render: " + c.says + " (try --help)\n") << c.args;
  }
}

TEST_F(RenderCommandLine, DashReadsStandardInput) {
  const ToolRun fromFile = render("--trace " + file);
  ASSERT_EQ(fromFile.status, 0);
  // A pipe, and a file given as standard input.
  EXPECT_EQ(runCommand("cat '" + file + "' | " + renderCommand("--trace -")).out, fromFile.out);
  EXPECT_EQ(render("--trace - < '" + file + "'").out, fromFile.out);
  const std::string png = dir + "/stdin.png";
  EXPECT_EQ(runCommand("cat '" + file + "' | " + renderCommand("--trace -o '" + png + "' -")).out, fromFile.out);
  EXPECT_GT(ReadBytes(png).size(), 8u) << "a picture as well";
  // After "--", a name that begins with "-" is a file.
  const std::string odd = dir + "/-odd.zv";
  std::ofstream(odd, std::ios::binary) << ReadBytes(file);
  EXPECT_EQ(runCommand("cd '" + dir + "' && " + renderCommand("--trace -- -odd.zv")).out, fromFile.out);
}

TEST_F(RenderCommandLine, FailuresNameTheFileAndTheSystemsReason) {
  struct Case {
    std::string args, says;
  } cases[] = {
      {"--trace " + dir + "/missing.zv", "cannot open " + dir + "/missing.zv: No such file or directory"},
      {"--trace - < /dev/null", "cannot open standard input: a device, not a regular file or a FIFO"},
      {"-o /nonexistent/x.png " + file, "cannot write /nonexistent/x.png: No such file or directory"},
      {"-o " + dir + "/picture.zv/x.pdf " + file, "cannot write " + dir + "/picture.zv/x.pdf: Not a directory"},
  };
  for (const Case& c : cases) {
    const ToolRun r = render(c.args);
    EXPECT_EQ(r.status, 1) << c.args;
    EXPECT_EQ(r.out, "zorva-render: " + c.says + "\n") << c.args;
  }
}

TEST_F(RenderCommandLine, TheManualPageListsEveryOption) {
  const ToolRun help = render("--help");
  ASSERT_EQ(help.status, 0);
  std::set<std::string> options;
  const std::regex option(R"(^  (-[-a-z]*))");
  std::istringstream lines(help.out);
  for (std::string line; std::getline(lines, line);)
    if (std::smatch m; std::regex_search(line, m, option)) options.insert(m[1]);
  EXPECT_GE(options.size(), 7u);
  std::string page = ReadBytes(std::string(ZORVA_SOURCE_DIR) + "/man/zorva-render.1");
  // The page writes a dash as \-.
  for (size_t at; (at = page.find("\\-")) != std::string::npos;) page.replace(at, 2, "-");
  for (const std::string& o : options) {
    const std::regex entry("\\n\\.(B|BI|BR) " + std::regex_replace(o, std::regex("-"), "\\-") + "(\\s|\")");
    EXPECT_TRUE(std::regex_search(page, entry)) << o << " has no entry in zorva-render(1)";
  }
  EXPECT_NE(page.find("\n.B -\n"), std::string::npos) << "standard input";
}
