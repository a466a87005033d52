#include "export/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

const char kSameAsInput[] = "it is the input file";

// A temporary name's own part: long names are cut so that the name stays
// within the system's limit.
constexpr std::size_t kMaxBase = 240;

bool isInput(const struct stat& st, const std::vector<FileId>& inputs) {
  const FileId id{st.st_dev, st.st_ino};
  return std::find(inputs.begin(), inputs.end(), id) != inputs.end();
}

// The file a symbolic link leads to, or `path` itself; empty for a link
// whose target is missing.
std::string resolved(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return {};
  std::string out = real;
  std::free(real);
  return out;
}

}  // namespace

bool FileIdOfPath(const std::string& path, FileId& id) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  id = FileId{st.st_dev, st.st_ino};
  return true;
}

bool FileIdOfFd(int fd, FileId& id) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  id = FileId{st.st_dev, st.st_ino};
  return true;
}

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Refused(const std::string& path, const std::vector<FileId>& inputs, std::string& why) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !isInput(st, inputs)) return false;
  why = kSameAsInput;
  return true;
}

bool OutputFile::fail(int error) {
  Fail(error);
  return false;
}

void OutputFile::Fail(int error) {
  if (!failed) reason = std::strerror(error);
  failed = true;
}

bool OutputFile::Open(const std::string& path, const std::vector<FileId>& inputs) {
  Abandon();
  failed = false;
  reason.clear();
  if (Refused(path, inputs, reason)) {
    failed = true;
    return false;
  }
  target = resolved(path);
  struct stat st;
  const bool exists = !target.empty() && ::stat(target.c_str(), &st) == 0;
  if (target.empty() || (exists && !S_ISREG(st.st_mode))) {
    // In place: a FIFO or device, or a link to a file not there yet (the
    // open creates it).
    inPlace = true;
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd >= 0 || fail(errno);
  }
  if (!exists && errno != ENOENT) return fail(errno);
  inPlace = false;
  const std::size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1).substr(0, kMaxBase);
  // Created with 0666 so that a new file gets the umask's mode from the
  // system itself; a replaced file's mode is copied onto it.
  unsigned seed = static_cast<unsigned>(::getpid()) ^ static_cast<unsigned>(std::time(nullptr));
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 1103515245u + 12345u;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%06x", (seed >> 8) & 0xFFFFFF);
    temp = dir + "." + base + suffix;
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) break;
  }
  if (fd < 0) {
    temp.clear();
    return fail(errno);
  }
  if (exists && ::fchmod(fd, st.st_mode & 07777) != 0) (void)::fchmod(fd, st.st_mode & 0777);
  return true;
}

bool OutputFile::Write(const void* bytes, std::size_t size) {
  if (failed || fd < 0) return false;
  const char* p = static_cast<const char*>(bytes);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    if (n == 0) return fail(ENOSPC);
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool OutputFile::Commit() {
  if (fd < 0) return false;
  // A file system may report a failed write only at the close.
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0 && !failed) Fail(errno);
  if (!failed && !inPlace && ::rename(temp.c_str(), target.c_str()) != 0) Fail(errno);
  if (failed) {
    if (!inPlace) ::unlink(temp.c_str());
    temp.clear();
    return false;
  }
  temp.clear();
  return true;
}

void OutputFile::Abandon() {
  if (fd >= 0) ::close(fd);
  fd = -1;
  if (!temp.empty()) ::unlink(temp.c_str());
  temp.clear();
}
