// Opening: the command file made exclusively, the display started through
// its launcher, and the launcher's failures passed on in words.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zorva/zorva.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "clients/c/tests/ClientTestSupport.h"

namespace {

using clienttest::fakeZorvad;
using clienttest::readFile;
using clienttest::ScratchDir;
namespace fs = std::filesystem;

bool contains(const char* text, const std::string& part) {
  return std::string(text).find(part) != std::string::npos;
}

int openWith(zorva** z, const std::string& file, const std::string& program) {
  zorva_options options{};
  options.zorvad = program.c_str();
  return zorva_open(z, file.c_str(), &options);
}

TEST(ClientLauncher, RunsTheLauncherOnTheNewFile) {
  ScratchDir dir;
  const std::string file = dir / "picture.zv", args = dir / "args";
  const std::string program = fakeZorvad(dir, "printf '%s|' \"$@\" > " + args);
  zorva* z = nullptr;
  ASSERT_EQ(openWith(&z, file, program), ZORVA_OK) << zorva_errmsg(z);
  EXPECT_EQ(readFile(args), "-d|" + file + "|");
  EXPECT_EQ(std::string(zorva_file(z)), file);
  EXPECT_EQ(zorva_line(z, 1, 2, 3, 4), ZORVA_OK);
  EXPECT_EQ(zorva_close(z, ZORVA_EXIT), ZORVA_OK);
  EXPECT_EQ(readFile(file), "2 4 1 2 3 4 \n1 0 \n");
}

// A relative name that begins with "-" would read as an option to the
// launcher ("-dfoo.zv" as its switch): it gets "./" in front there, and
// stays as the caller gave it everywhere else.
TEST(ClientLauncher, ANameThatLooksLikeAnOptionReachesTheLauncherAsAPath) {
  ScratchDir dir;
  const std::string args = dir / "args", program = fakeZorvad(dir, "printf '%s|' \"$@\" > " + args);
  const fs::path before = fs::current_path();
  fs::current_path(dir.path);
  for (const std::string name : {"-dfoo.zv", "-", "--x.zv"}) {
    zorva* z = nullptr;
    EXPECT_EQ(openWith(&z, name, program), ZORVA_OK) << zorva_errmsg(z);
    EXPECT_EQ(readFile(args), "-d|./" + name + "|") << name;
    EXPECT_EQ(std::string(zorva_file(z)), name);
    EXPECT_EQ(zorva_start(z), ZORVA_OK);
    zorva_close(z, ZORVA_LEAVE_OPEN);
    EXPECT_EQ(readFile(dir / name), "0 0 \n") << name;
  }
  fs::current_path(before);
}

// A launcher (here a wrapper script) may leave a process behind that holds
// its standard error open: zorva_open stops reading once the launcher has
// ended, with what it wrote before. The process left behind waits for the
// test to release it (30 s at most) and then marks that it is done.
TEST(ClientLauncher, AProcessTheLauncherLeftBehindDoesNotHoldTheOpen) {
  struct Case {
    std::string end;
    int result;
    std::string message;
  };
  const Case cases[] = {
      {"echo 'zorvad: the reason' >&2; exit 1", ZORVA_ELAUNCH, "exited with status 1: zorvad: the reason"},
      {"exit 0", ZORVA_OK, "no error"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    const std::string release = dir / "release", done = dir / "done";
    const std::string holder =
        "(for i in $(seq 300); do [ -e " + release + " ] && break; sleep 0.1; done; touch " + done + ") &\n";
    zorva* z = nullptr;
    EXPECT_EQ(openWith(&z, dir / "held.zv", fakeZorvad(dir, holder + c.end)), c.result) << c.end;
    EXPECT_FALSE(fs::exists(done)) << "zorva_open waited for the process left behind: " << c.end;
    EXPECT_TRUE(contains(zorva_errmsg(z), c.message)) << zorva_errmsg(z);
    zorva_close(z, ZORVA_LEAVE_OPEN);
    std::ofstream{release};
    // Watchdog: the process left behind looks ten times a second.
    for (int i = 0; i < 300 && !fs::exists(done); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(fs::exists(done));
  }
}

TEST(ClientLauncher, TheEnvironmentNamesTheProgramWhenTheCallerDoesNot) {
  ScratchDir dir;
  const std::string ran = dir / "ran";
  setenv("ZORVAD", fakeZorvad(dir, "touch " + ran).c_str(), 1);
  zorva* z = nullptr;
  EXPECT_EQ(zorva_open(&z, (dir / "env.zv").c_str(), nullptr), ZORVA_OK) << zorva_errmsg(z);
  unsetenv("ZORVAD");
  EXPECT_TRUE(fs::exists(ran));
  zorva_close(z, ZORVA_LEAVE_OPEN);
}

TEST(ClientLauncher, AFailedLaunchSaysWhyAndRemovesTheFile) {
  struct Case {
    const char* what;
    std::string body;
    int result;
    std::string message;
  };
  const Case cases[] = {
      {"status and reason", "echo 'zorvad: no display server: tried the X display :99' >&2; exit 1",
       ZORVA_ELAUNCH, "exited with status 1: zorvad: no display server: tried the X display :99"},
      {"a signal", "kill -9 $$", ZORVA_ELAUNCH, "was ended by signal 9"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    const std::string file = dir / "failed.zv";
    zorva* z = nullptr;
    EXPECT_EQ(openWith(&z, file, fakeZorvad(dir, c.body)), c.result) << c.what;
    EXPECT_TRUE(contains(zorva_errmsg(z), c.message)) << c.what << ": " << zorva_errmsg(z);
    EXPECT_FALSE(fs::exists(file)) << c.what;
    EXPECT_EQ(zorva_failed(z), c.result);
    EXPECT_EQ(zorva_line(z, 1, 2, 3, 4), ZORVA_EFAILED);
    zorva_close(z, ZORVA_LEAVE_OPEN);
  }
}

TEST(ClientLauncher, AMissingProgramIsNamed) {
  ScratchDir dir;
  const std::string file = dir / "orphan.zv", program = dir / "no-such-zorvad";
  zorva* z = nullptr;
  EXPECT_EQ(openWith(&z, file, program), ZORVA_ENOTFOUND);
  EXPECT_TRUE(contains(zorva_errmsg(z), "cannot run " + program + ": No such file or directory"))
      << zorva_errmsg(z);
  EXPECT_FALSE(fs::exists(file));
  zorva_close(z, ZORVA_LEAVE_OPEN);
}

// A file the launcher put in the place of the library's own is not the
// library's to remove.
TEST(ClientLauncher, OnlyTheLibrarysOwnFileIsRemoved) {
  ScratchDir dir;
  const std::string file = dir / "replaced.zv";
  zorva* z = nullptr;
  EXPECT_EQ(openWith(&z, file, fakeZorvad(dir, "rm \"$2\"; echo theirs > \"$2\"; exit 1")), ZORVA_ELAUNCH);
  EXPECT_EQ(readFile(file), "theirs\n");
  zorva_close(z, ZORVA_LEAVE_OPEN);
}

TEST(ClientLauncher, AnExistingFileIsNeitherUsedNorTouched) {
  ScratchDir dir;
  const std::string file = dir / "taken.zv", ran = dir / "ran";
  std::ofstream(file) << "0 0 \n";
  zorva* z = nullptr;
  EXPECT_EQ(openWith(&z, file, fakeZorvad(dir, "touch " + ran)), ZORVA_EFILE);
  EXPECT_TRUE(contains(zorva_errmsg(z), "exists already")) << zorva_errmsg(z);
  EXPECT_EQ(readFile(file), "0 0 \n");
  EXPECT_FALSE(fs::exists(ran)) << "no display was started";
  zorva_close(z, ZORVA_LEAVE_OPEN);
}

TEST(ClientLauncher, WithoutANameAPrivateFileIsMade) {
  ScratchDir dir;
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", dir.path.c_str(), 1);
  zorva_options options{};
  options.flags = ZORVA_NO_LAUNCH;
  options.zorvad = "/no/such/zorvad";  // never started
  zorva *a = nullptr, *b = nullptr;
  EXPECT_EQ(zorva_open(&a, nullptr, &options), ZORVA_OK) << zorva_errmsg(a);
  EXPECT_EQ(zorva_open(&b, nullptr, &options), ZORVA_OK) << zorva_errmsg(b);
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");

  const fs::path name = zorva_file(a);
  EXPECT_EQ(name.parent_path(), dir.path);
  EXPECT_EQ(name.filename().string().substr(0, 6), "zorva-");
  EXPECT_EQ(name.extension(), ".zv");
  EXPECT_NE(name, fs::path(zorva_file(b)));
  struct stat st;
  ASSERT_EQ(stat(name.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(zorva_start(a), ZORVA_OK);
  zorva_close(a, ZORVA_LEAVE_OPEN);
  zorva_close(b, ZORVA_LEAVE_OPEN);
  EXPECT_EQ(readFile(name), "0 0 \n") << "the file stays for whoever follows it";
}

// The real display, found in the bin folder beside the library's own folder
// (the build tree mirrors an installed prefix), started, drawn into and
// closed by the exit item, which makes it delete its file.
TEST(ClientLauncher, StartsTheRealDisplayFromItsOwnPrefix) {
  ScratchDir dir;
  const std::string file = dir / "real.zv";
  unsetenv("ZORVAD");
  zorva* z = nullptr;
  ASSERT_EQ(zorva_open(&z, file.c_str(), nullptr), ZORVA_OK) << zorva_errmsg(z);
  EXPECT_EQ(zorva_start(z), ZORVA_OK);
  EXPECT_EQ(zorva_line(z, 10, 10, 100, 100), ZORVA_OK);
  EXPECT_EQ(zorva_close(z, ZORVA_EXIT), ZORVA_OK);
  // Watchdog: the display reads twice a second; 30 s is far beyond that.
  for (int i = 0; i < 300 && fs::exists(file); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(fs::exists(file)) << "the display did not close on the exit item";
}

}  // namespace
