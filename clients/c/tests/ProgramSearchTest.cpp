// Where a program linked with the static library looks for zorvad when
// neither the caller nor $ZORVAD names one: beside its own executable, then
// on PATH, then in the bin folder of the prefix compiled into the library
// (for this test program a folder of the tests' own, ZORVA_STATIC_BINDIR).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "clients/c/tests/ClientTestSupport.h"

namespace {

using clienttest::readFile;
using clienttest::ScratchDir;
namespace fs = std::filesystem;

// A stand-in zorvad at `path` that appends `name` to the file `log`.
void fake(const fs::path& path, const std::string& name, const std::string& log) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "#!/bin/sh\necho " << name << " >> " << log << "\n";
  fs::permissions(path, fs::perms::owner_all);
}

// Runs the static client copied to `exe` on the new file `file` with PATH
// `path` and no $ZORVAD; its exit status, its message in `err`.
int runClient(const fs::path& exe, const std::string& path, const std::string& file, const std::string& err) {
  const std::string command =
      "env -u ZORVAD PATH='" + path + "' '" + exe.string() + "' '" + file + "' 2> '" + err + "'";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ClientProgramSearch, AStaticallyLinkedProgramLooksBesideItselfThenOnPathThenInItsPrefix) {
  ScratchDir dir;
  const fs::path exe = dir.path / "app" / "static_client";
  fs::create_directories(exe.parent_path());
  fs::copy_file(ZORVA_STATIC_CLIENT, exe);
  const fs::path beside = exe.parent_path() / "zorvad", onPath = dir.path / "path" / "zorvad",
                 inPrefix = fs::path(ZORVA_STATIC_BINDIR) / "zorvad";
  const std::string log = dir / "ran", err = dir / "err", path = onPath.parent_path().string();
  fake(beside, "beside", log);
  fake(onPath, "path", log);
  fake(inPrefix, "prefix", log);

  EXPECT_EQ(runClient(exe, "/nonexistent:" + path, dir / "1.zv", err), 0) << readFile(err);
  fs::remove(beside);
  EXPECT_EQ(runClient(exe, "/nonexistent:" + path, dir / "2.zv", err), 0) << readFile(err);
  EXPECT_EQ(runClient(exe, "/nonexistent", dir / "3.zv", err), 0) << readFile(err);
  EXPECT_EQ(readFile(log), "beside\npath\nprefix\n");

  fs::remove(inPrefix);
  EXPECT_EQ(runClient(exe, "/nonexistent", dir / "4.zv", err), 1);
  EXPECT_EQ(readFile(err), "zorvad was not found (looked at " + beside.string() + ", on PATH, " +
                               inPrefix.string() + "); name it in zorva_options or in ZORVAD\n");
  EXPECT_FALSE(fs::exists(dir / "4.zv"));
}

}  // namespace
