#include "stream/CommandFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The kinds that are refused, by name; null for the kinds that are taken.
const char* refusedKind(mode_t mode) {
  if (S_ISREG(mode) || S_ISFIFO(mode)) return nullptr;
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "an unknown kind of file";
}

CommandInput failed(int error) {
  CommandInput input;
  input.error = error;
  return input;
}

CommandInput refused(const char* kind) {
  CommandInput input;
  input.refused = kind;
  return input;
}

}  // namespace

std::string CommandInput::Problem() const {
  if (refused) return std::string(refused) + ", not a regular file or a FIFO";
  if (fd < 0) return std::strerror(error ? error : ENOENT);
  return {};
}

CommandInput OpenCommandInput(int dirFd, const char* name) {
  if (!name) return failed(ENOENT);
  // The kind is looked at before opening, so that a device is never opened;
  // what the open descriptor is decides.
  struct stat before;
  if (::fstatat(dirFd, name, &before, 0) != 0) return failed(errno);
  if (const char* kind = refusedKind(before.st_mode)) return refused(kind);
  // Non-blocking: a FIFO without a writer must not hold the open. No
  // controlling terminal, even if the name was swapped for one meanwhile.
  const int fd = ::openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return failed(errno);
  struct stat after;
  if (::fstat(fd, &after) != 0) {
    const int error = errno;
    ::close(fd);
    return failed(error);
  }
  if (const char* kind = refusedKind(after.st_mode)) {
    ::close(fd);
    return refused(kind);
  }
  CommandInput input;
  input.fd = fd;
  input.fifo = S_ISFIFO(after.st_mode);
  return input;
}

CommandFile::~CommandFile() { Close(); }

bool CommandFile::Open(const char* name) {
  Close();
  if (!name || !*name) {
    input = failed(ENOENT);
    return false;
  }
  // The directory part and the last component. A name that ends in a slash
  // names a directory (or nothing): its "last component" is the directory
  // itself.
  const std::string full = name;
  std::string dir;
  const auto slash = full.rfind('/');
  if (slash == std::string::npos) {
    dir = ".";
    base = full;
  } else if (slash + 1 == full.size()) {
    dir = full;
    base = ".";
  } else {
    dir = slash == 0 ? "/" : full.substr(0, slash);
    base = full.substr(slash + 1);
  }
  dirFd = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) {
    input = failed(errno);
    return false;
  }
  input = OpenCommandInput(dirFd, base.c_str());
  if (input.fd < 0) {
    ::close(dirFd);
    dirFd = -1;
    return false;
  }
  struct stat st;
  ::fstat(input.fd, &st);  // cannot fail on an open descriptor
  device = st.st_dev;
  inode = st.st_ino;
  // A failure leaves the file unlocked: another display removing it this
  // very moment holds the exclusive lock, and a file system without locks
  // has nothing to hold.
  ::flock(input.fd, LOCK_SH | LOCK_NB);
  removed = false;
  return true;
}

bool CommandFile::RemoveIfSame() {
  if (input.fd < 0 || dirFd < 0 || removed) return false;
  const int savedErrno = errno;
  const bool locked = ::flock(input.fd, LOCK_EX | LOCK_NB) == 0;
  if (!locked && errno == EWOULDBLOCK) {
    // Another display follows the file. This one gives way and holds no
    // lock from now on (Linux has already dropped it while trying), so
    // that the other display removes the file when it closes, even at this
    // same moment.
    ::flock(input.fd, LOCK_UN);
    errno = savedErrno;
    return false;
  }
  // Without lock support the name is removed as it would be without locks.
  bool done = false;
  struct stat now;
  if (::fstatat(dirFd, base.c_str(), &now, 0) == 0 && now.st_dev == device && now.st_ino == inode)
    done = ::unlinkat(dirFd, base.c_str(), 0) == 0;
  if (locked) ::flock(input.fd, LOCK_SH | LOCK_NB);
  if (done) removed = true;
  errno = savedErrno;
  return done;
}

void CommandFile::Close() {
  if (input.fd >= 0) ::close(input.fd);
  if (dirFd >= 0) ::close(dirFd);
  input = CommandInput();
  dirFd = -1;
  base.clear();
  device = 0;
  inode = 0;
}

void CommandFile::RemoveAtExit(void* file) {
  if (file) static_cast<CommandFile*>(file)->RemoveIfSame();
}
