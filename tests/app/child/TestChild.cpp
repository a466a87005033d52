// A stand-in for the display, started by the launcher's tests. Its command
// file holds what it should do:
//   ready       signal readiness, then end
//   ready-hold  signal readiness, then live until the command file is removed
//   exit        end without signalling
//   slow        never signal, end after two seconds, leaving "<file>.done"
//   fail        send the reason "no display here" instead of readiness, status 1
//   status3     end with status 3 without signalling
//   killed      end by SIGTERM without signalling
// Before acting it writes what it received to "<file>.out" (through a
// temporary name, so a reader sees it whole).

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/Readiness.h"

namespace {

bool isDevNull(int fd) {
  struct stat a, b;
  return fstat(fd, &a) == 0 && stat("/dev/null", &b) == 0 && S_ISCHR(a.st_mode) && a.st_rdev == b.st_rdev;
}

// Open descriptors other than the standard three and `except`.
std::string otherFds(int except) {
  std::string list;
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return "?";
  while (dirent* e = readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    const int fd = std::atoi(e->d_name);
    if (fd > 2 && fd != except && fd != dirfd(dir)) list += std::to_string(fd) + " ";
  }
  closedir(dir);
  return list.empty() ? "none" : list;
}

}  // namespace

int main(int argc, char** argv) {
  const int ready = TakeReadinessFd();
  if (argc < 2) return 2;
  const std::string file = argv[1];
  std::string mode;
  std::getline(std::ifstream(file), mode);

  std::ostringstream out;
  out << "argc=" << argc << "\n";
  for (int i = 0; i < argc; ++i) out << "argv" << i << "=" << argv[i] << "\n";
  out << "variable=" << (std::getenv(ReadinessFdVariable) ? "present" : "absent") << "\n";
  out << "readyfd=" << (ready >= 0 ? "valid" : "none") << "\n";
  out << "cloexec=" << (ready >= 0 && (fcntl(ready, F_GETFD) & FD_CLOEXEC) ? 1 : 0) << "\n";
  out << "session=" << (getsid(0) == getpid() ? "own" : "inherited") << "\n";
  out << "stdio=" << (isDevNull(0) && isDevNull(1) && isDevNull(2) ? "devnull" : "other") << "\n";
  out << "otherfds=" << otherFds(ready) << "\n";
  std::ofstream(file + ".tmp") << out.str();
  std::rename((file + ".tmp").c_str(), (file + ".out").c_str());

  using namespace std::chrono_literals;
  if (mode == "ready") {
    SignalReady(ready);
  } else if (mode == "ready-hold") {
    SignalReady(ready);
    for (int i = 0; i < 3000 && access(file.c_str(), F_OK) == 0; ++i) std::this_thread::sleep_for(20ms);
  } else if (mode == "fail") {
    SignalNotReady(ready, "no display here");
    return 1;
  } else if (mode == "status3") {
    return 3;
  } else if (mode == "killed") {
    signal(SIGTERM, SIG_DFL);
    raise(SIGTERM);
  } else if (mode == "slow") {
    std::this_thread::sleep_for(2s);
    std::ofstream(file + ".done") << "done\n";
  }
  return 0;
}
