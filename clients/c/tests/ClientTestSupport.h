#pragma once
// Shared pieces of the client library's tests: a scratch folder, a stand-in
// launcher, a handle that writes into a file without a display, reading a
// file back and finding a descriptor on it.

#include <gtest/gtest.h>
#include <zorva/zorva.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace clienttest {

// A fresh folder, removed with everything in it at the end of the test.
class ScratchDir {
public:
  ScratchDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zorva-client-XXXXXX").string();
    EXPECT_NE(mkdtemp(tmpl.data()), nullptr);
    path = tmpl;
  }
  ~ScratchDir() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
  std::filesystem::path path;
};

// A stand-in launcher in `dir`: a shell script named `name` with `body`.
inline std::string fakeZorvad(const ScratchDir& dir, const std::string& body,
                              const std::string& name = "fake-zorvad") {
  const std::string path = dir / name;
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  return path;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// The descriptor this process holds on `path`, or -1.
inline int descriptorOf(const std::string& path) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error).string() == path)
      return std::stoi(entry.path().filename().string());
  }
  return -1;
}

// A handle on the new file `path` that starts no display.
inline zorva* openWithoutDisplay(const std::string& path) {
  zorva_options options{};
  options.flags = ZORVA_NO_LAUNCH;
  zorva* z = nullptr;
  EXPECT_EQ(zorva_open(&z, path.c_str(), &options), ZORVA_OK) << zorva_errmsg(z);
  return z;
}

// The bytes that `draw` writes through a fresh handle, each call's result
// checked against `expected`.
inline std::string written(const std::function<int(zorva*)>& draw, int expected = ZORVA_OK) {
  ScratchDir dir;
  const std::string file = dir / "items.zv";
  zorva* z = openWithoutDisplay(file);
  EXPECT_EQ(draw(z), expected) << zorva_errmsg(z);
  EXPECT_EQ(zorva_close(z, ZORVA_LEAVE_OPEN), ZORVA_OK);
  return readFile(file);
}

}  // namespace clienttest
