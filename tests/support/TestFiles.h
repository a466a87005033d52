#pragma once
// Files for tests: a private folder made under /tmp and removed with its
// contents, and the bytes, permission bits and names of the files in it.

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

// The whole file's bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Makes or replaces the file with `bytes`.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The permission bits (07777) of the file `path` names; 0 when there is none.
inline unsigned FileMode(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The names in folder `dir`, without "." and "..".
inline std::set<std::string> FileNames(const std::string& dir) {
  std::set<std::string> out;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") out.insert(e->d_name);
    ::closedir(d);
  }
  return out;
}

// A new folder /tmp/PREFIX-XXXXXX; empty when it cannot be made.
inline std::string MakeTempFolder(const std::string& prefix) {
  std::string name = "/tmp/" + prefix + "-XXXXXX";
  return ::mkdtemp(name.data()) ? name : std::string();
}

// Removes the folder and everything in it.
inline void RemoveTree(const std::string& dir) {
  if (!dir.empty()) std::system(("rm -rf '" + dir + "'").c_str());
}
