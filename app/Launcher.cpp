#include "app/Launcher.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/Readiness.h"
#include "framework/report/MessageBox.h"

extern char** environ;

namespace {

// A descriptor closed when it goes out of scope.
class Fd {
public:
  explicit Fd(int fd = -1) : fd(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { reset(); }
  int get() const { return fd; }
  void reset(int other = -1) {
    if (fd >= 0) close(fd);
    fd = other;
  }

private:
  int fd;
};

// Moves a close-on-exec descriptor above the standard three, so the child's
// redirection of those cannot overwrite it.
int aboveStandard(int fd) {
  if (fd < 0 || fd > 2) return fd;
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  close(fd);
  return moved;
}

bool makePipe(Fd& readEnd, Fd& writeEnd) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  readEnd.reset(aboveStandard(fds[0]));
  writeEnd.reset(aboveStandard(fds[1]));
  return readEnd.get() >= 0 && writeEnd.get() >= 0;
}

int creationFailed() {
  ShowMessageBox("Error creating child process\n", "Error", MB_OK);
  return 1;
}

ssize_t readRetrying(int fd, void* buf, size_t size) {
  ssize_t n;
  do n = read(fd, buf, size);
  while (n < 0 && errno == EINTR);
  return n;
}

// The child closed the readiness pipe without the byte: it has ended or is
// about to (the descriptors close just before the process is reapable).
// Reap it, waiting no more than about a second for a child that closed the
// pipe and lives on. Returns whether it was reaped; its status in `status`.
bool reapEnded(pid_t pid, int& status) {
  for (int i = 0; i < 100; ++i) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return true;
    if (r < 0 && errno != EINTR) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

std::string baseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One line on standard error, "program: what".
void tell(const std::string& program, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", baseName(program).c_str(), what.c_str());
  std::fflush(stderr);
}

// Why a child that ended without the readiness byte failed, from its wait
// status; empty when it ended with status 0.
std::string endedUnready(int status) {
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
  if (WIFSIGNALED(status))
    return std::string("the display was ended by signal ") + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ") before its window appeared";
  return "the display ended with status " + std::to_string(WEXITSTATUS(status)) +
         " before its window appeared";
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void execChild(const char* path, char* const argv[], char* const envp[], int devNull,
                            int readyFd, int errorFd) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  setsid();
  dup2(devNull, 0);
  dup2(devNull, 1);
  dup2(devNull, 2);
  // Descriptors inherited from whoever ran the launcher (a client's pipe, for
  // one) must not stay open for the display's whole life.
  close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  fcntl(readyFd, F_SETFD, 0);
  execve(path, argv, envp);
  const int error = errno;
  [[maybe_unused]] ssize_t n = write(errorFd, &error, sizeof error);
  _exit(127);
}

}  // namespace

std::string LaunchOptions::OwnProgramPath() {
  std::vector<char> buf(512);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return "/proc/self/exe";
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

int RunLauncher(const char* file, const LaunchOptions& options) {
  Fd devNull(aboveStandard(open("/dev/null", O_RDWR | O_CLOEXEC)));
  Fd readyRead, readyWrite, errorRead, errorWrite;
  if (devNull.get() < 0 || !makePipe(readyRead, readyWrite) || !makePipe(errorRead, errorWrite))
    return creationFailed();

  // Everything the child needs is built before the fork: after it, the child
  // may not allocate.
  std::string program = options.program;
  std::string fileName = file ? file : "";
  char* argv[] = {program.data(), fileName.data(), nullptr};
  std::vector<std::string> envStrings;
  const std::string prefix = std::string(ReadinessFdVariable) + "=";
  for (char** e = environ; e && *e; ++e)
    if (std::strncmp(*e, prefix.c_str(), prefix.size()) != 0) envStrings.emplace_back(*e);
  envStrings.push_back(prefix + std::to_string(readyWrite.get()));
  std::vector<char*> envp;
  for (auto& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) return creationFailed();
  if (pid == 0)
    execChild(program.c_str(), argv, envp.data(), devNull.get(), readyWrite.get(), errorWrite.get());

  devNull.reset();
  readyWrite.reset();
  errorWrite.reset();

  // The error pipe closes on a successful exec; an errno arrives if it failed.
  int execError = 0;
  if (readRetrying(errorRead.get(), &execError, sizeof execError) > 0) {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    return creationFailed();
  }
  errorRead.reset();

  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + options.readyTimeout;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{readyRead.get(), POLLIN, 0};
    const int r = poll(&p, 1, static_cast<int>(std::min<long long>(left, 1 << 30)));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return 0;  // the wait failed: nothing more to wait on
    if (r == 0) break;
    const ReadinessAnswer answer = ReadReadiness(readyRead.get());
    int status = 0;
    switch (answer.kind) {
      case ReadinessAnswer::Ready:
      case ReadinessAnswer::Unreadable:
        return 0;
      case ReadinessAnswer::NotReady: {
        const bool reaped = reapEnded(pid, status);
        std::string why = answer.reason;
        if (why.empty() && reaped) why = endedUnready(status);
        tell(options.program, why.empty() ? "the display could not start" : why);
        return 1;
      }
      case ReadinessAnswer::Closed: {
        if (!reapEnded(pid, status)) return 0;  // it let go of the pipe and lives on
        const std::string why = endedUnready(status);
        if (why.empty()) return 0;
        tell(options.program, why);
        return 1;
      }
    }
    return 0;
  }

  // Not ready in time: wait for the child's end. The pause follows every
  // successful query, also the one that finds the child ended.
  for (;;) {
    const pid_t r = waitpid(pid, nullptr, WNOHANG);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) break;
    std::this_thread::sleep_for(options.exitPoll);
    if (r == pid) break;
  }
  return 0;
}
