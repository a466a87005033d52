#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "framework/report/MessageBox.h"

namespace {

TEST(ParseCommandLine, Forms) {
  struct Case {
    std::vector<const char*> args;  // after the program name
    RunMode mode;
    const char* file;  // null: no command file
  };
  const Case cases[] = {
      {{}, RunMode::Display, DefaultCommandFile},
      {{"pic.cmd"}, RunMode::Display, "pic.cmd"},
      {{"a file with blanks"}, RunMode::Display, "a file with blanks"},
      {{"-D"}, RunMode::Display, "-D"},
      {{"-"}, RunMode::Display, "-"},
      {{""}, RunMode::Display, ""},
      {{"-d", "pic.cmd"}, RunMode::Launcher, "pic.cmd"},
      {{"-dx", "pic.cmd"}, RunMode::Launcher, "pic.cmd"},
      {{"-display", "x y"}, RunMode::Launcher, "x y"},
      {{"-d", ""}, RunMode::Launcher, ""},
      {{"-d"}, RunMode::Usage, nullptr},
      {{"-dfile"}, RunMode::Usage, nullptr},
      {{"-D", "pic.cmd"}, RunMode::Usage, nullptr},
      {{"pic.cmd", "-d"}, RunMode::Usage, nullptr},
      {{"a", "b"}, RunMode::Usage, nullptr},
      {{"-d", "a", "b"}, RunMode::Usage, nullptr},
      {{"a", "b", "c", "d"}, RunMode::Usage, nullptr},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv{"/usr/bin/zorvad"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    std::string shown;
    for (const char* a : c.args) shown += std::string(" [") + a + "]";
    argv.push_back(nullptr);
    const CommandLine cl = ParseCommandLine(static_cast<int>(argv.size()) - 1, argv.data());
    EXPECT_EQ(cl.mode, c.mode) << shown;
    if (c.file) {
      ASSERT_NE(cl.file, nullptr) << shown;
      EXPECT_STREQ(cl.file, c.file) << shown;
    } else {
      EXPECT_EQ(cl.file, nullptr) << shown;
    }
  }
}

TEST(ParseCommandLine, FileNameIsTheArgumentItself) {
  // The name is not copied: it lives as long as the argument vector.
  const char* argv[] = {"zorvad", "-d", "pic.cmd", nullptr};
  EXPECT_EQ(ParseCommandLine(3, argv).file, argv[2]);
  const char* display[] = {"zorvad", "pic.cmd", nullptr};
  EXPECT_EQ(ParseCommandLine(2, display).file, display[1]);
  EXPECT_STREQ(ParseCommandLine(0, display).file, "c:/zorva.tmp");
}

TEST(ShowUsage, OneBoxAndStatusOne) {
  std::vector<std::string> seen;
  auto previous = SetMessagePresenter([&](const std::string& t, const std::string& c, unsigned s) {
    seen.push_back(t + "|" + c + "|" + std::to_string(s));
    return IDOK;
  });
  EXPECT_EQ(ShowUsage(), 1);
  SetMessagePresenter(previous);
  EXPECT_EQ(seen, std::vector<std::string>{"Usage: zorvad [-d] [file]|ZORVAd|0"});
}

}  // namespace
