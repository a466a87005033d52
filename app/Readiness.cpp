#include "app/Readiness.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

int TakeReadinessFd() {
  const char* value = std::getenv(ReadinessFdVariable);
  if (!value) return -1;
  int fd = -1;
  const char* end = value + std::strlen(value);
  const auto [stop, ec] = std::from_chars(value, end, fd);
  const bool number = ec == std::errc() && stop == end && stop != value;
  unsetenv(ReadinessFdVariable);
  if (!number || fd < 0) return -1;
  // Only a pipe is written to: a stale or forged number must not make us
  // write into some other file the process holds.
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode)) return -1;
  const int flags = fcntl(fd, F_GETFD);
  if (flags < 0 || fcntl(fd, F_SETFD, flags | FD_CLOEXEC) != 0) return -1;
  return fd;
}

namespace {

// One write of `bytes`, then close. A launcher that has gone away leaves a
// pipe without reader; writing to it raises SIGPIPE. Block it for the write
// and take away any pending one that the write caused.
void writeAndClose(int fd, const std::string& bytes) {
  if (fd < 0) return;
  sigset_t pipeSet, previous;
  sigemptyset(&pipeSet);
  sigaddset(&pipeSet, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSet, &previous);
  const bool wasPending = [&] {
    sigset_t pending;
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE);
  }();
  ssize_t n;
  do n = write(fd, bytes.data(), bytes.size());
  while (n < 0 && errno == EINTR);
  if (n < 0 && errno == EPIPE && !wasPending) {
    const timespec now{0, 0};
    while (sigtimedwait(&pipeSet, nullptr, &now) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  close(fd);
}

}  // namespace

void SignalReady(int fd) { writeAndClose(fd, std::string(1, ReadyByte)); }

void SignalNotReady(int fd, const std::string& reason) {
  writeAndClose(fd, NotReadyByte + reason.substr(0, ReasonLimit));
}

ReadinessAnswer ReadReadiness(int fd, int waitMs) {
  char buf[512];
  ssize_t n;
  do n = read(fd, buf, sizeof buf);
  while (n < 0 && errno == EINTR);
  if (n < 0) return {ReadinessAnswer::Unreadable, {}};
  if (n == 0) return {ReadinessAnswer::Closed, {}};
  if (buf[0] != NotReadyByte) return {ReadinessAnswer::Ready, {}};
  std::string reason(buf + 1, static_cast<std::size_t>(n - 1));
  while (reason.size() < ReasonLimit) {
    pollfd p{fd, POLLIN, 0};
    const int r = poll(&p, 1, waitMs);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    do n = read(fd, buf, sizeof buf);
    while (n < 0 && errno == EINTR);
    if (n <= 0) break;
    reason.append(buf, static_cast<std::size_t>(n));
  }
  if (reason.size() > ReasonLimit) reason.resize(ReasonLimit);
  return {ReadinessAnswer::NotReady, std::move(reason)};
}
