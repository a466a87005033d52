// Every way zorva_open can fail: its result, and a handle that names no
// file afterwards, so that a caller who removes a non-empty zorva_file()
// when cleaning up never removes a file that is not its own.
#include <gtest/gtest.h>
#include <zorva/zorva.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "clients/c/tests/ClientTestSupport.h"

namespace {

using clienttest::fakeZorvad;
using clienttest::readFile;
using clienttest::ScratchDir;
namespace fs = std::filesystem;

// Sets an environment variable for the life of the object.
class EnvChange {
public:
  EnvChange(const char* name, const std::string& value) : name(name) {
    if (const char* old = std::getenv(name)) saved = old;
    setenv(name, value.c_str(), 1);
  }
  ~EnvChange() {
    if (saved)
      setenv(name, saved->c_str(), 1);
    else
      unsetenv(name);
  }

private:
  const char* name;
  std::optional<std::string> saved;
};

TEST(ClientOpenFailure, AFailedOpenNamesNoFile) {
  ScratchDir dir;
  const std::string taken = dir / "taken.zv";
  std::ofstream(taken) << "theirs\n";
  struct Case {
    const char* what;
    std::optional<std::string> file;  // nullopt: a private file
    std::string program;              // "": no display is started
    std::string tmpdir;
    int result;
  };
  const Case cases[] = {
      {"an existing file", taken, "", "", ZORVA_EFILE},
      {"an existing file, with a launch", taken, fakeZorvad(dir, "exit 0"), "", ZORVA_EFILE},
      {"a missing folder", dir / "no-such-dir/x.zv", "", "", ZORVA_EFILE},
      {"a private file in a missing folder", std::nullopt, "", dir / "no-such-tmp", ZORVA_EFILE},
      {"a missing program", dir / "a.zv", dir / "no-such-zorvad", "", ZORVA_ENOTFOUND},
      {"a launcher that fails", dir / "b.zv", fakeZorvad(dir, "echo no >&2; exit 1", "fails"), "",
       ZORVA_ELAUNCH},
      {"a launcher ended by a signal", dir / "c.zv", fakeZorvad(dir, "kill -9 $$", "killed"), "",
       ZORVA_ELAUNCH},
      {"a private file whose launcher fails", std::nullopt, dir / "fails", dir.path.string(), ZORVA_ELAUNCH},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<EnvChange> tmpdir;
    if (!c.tmpdir.empty()) tmpdir.emplace("TMPDIR", c.tmpdir);
    zorva_options options{};
    options.flags = c.program.empty() ? ZORVA_NO_LAUNCH : 0u;
    options.zorvad = c.program.empty() ? nullptr : c.program.c_str();
    zorva* z = nullptr;
    EXPECT_EQ(zorva_open(&z, c.file ? c.file->c_str() : nullptr, &options), c.result);
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(std::string(zorva_file(z)), "");
    EXPECT_EQ(zorva_failed(z), c.result);
    EXPECT_EQ(zorva_line(z, 1, 2, 3, 4), ZORVA_EFAILED);
    EXPECT_EQ(zorva_close(z, ZORVA_EXIT), ZORVA_EFAILED);
  }
  EXPECT_EQ(readFile(taken), "theirs\n");
  for (const char* made : {"a.zv", "b.zv", "c.zv"}) EXPECT_FALSE(fs::exists(dir / made)) << made;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 4)
      << "only taken.zv and the three launchers are left";
}

TEST(ClientOpenFailure, ANullHandlePointerIsRefused) {
  EXPECT_EQ(zorva_open(nullptr, "never.zv", nullptr), ZORVA_EINVAL);
  EXPECT_FALSE(fs::exists("never.zv"));
  EXPECT_EQ(std::string(zorva_file(nullptr)), "");
}

}  // namespace
