#include "tools/RenderFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "stream/CommandFile.h"
#include "stream/CommandStream.h"
#include "stream/DisplayState.h"
#include "stream/HeadlessHost.h"
#include "stream/Replay.h"
#include "framework/gdi/TClientDC.h"

namespace {

// Closes the file however the rendering ends.
struct FileHandle {
  int fd;
  ~FileHandle() {
    if (fd >= 0) ::close(fd);
  }
};

const TColor kBackground(0, 0, 0);

// A FIFO is read until its writers have closed it. Opened without blocking,
// it shows nothing to poll until a first writer comes (a pipe whose writer
// has gone shows its end at once); from then on reads wait for bytes or
// the end.
void awaitWriter(int fd) {
  pollfd p{fd, POLLIN, 0};
  while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

}  // namespace

RenderResult RenderFile(const char* path, Surface& surface, int width, int height, int threads) {
  RenderResult result;
  // The kinds the display takes, opened as the display opens them.
  const CommandInput input = OpenCommandInput(AT_FDCWD, path);
  FileHandle file{input.fd};
  if (file.fd < 0) {
    result.error = input.Problem();
    return result;
  }
  result.opened = true;
  if (input.fifo) awaitWriter(file.fd);

  DisplayState state;
  state.displayList.PrepareAhead(threads != 1);
  HeadlessHost host(width, height);
  {
    TClientDC dc(surface);
    // The window's first size and paint.
    dc.SetViewportOrgEx(0, height);
    dc.EraseBkgnd(0, 0, width, height, kBackground);

    CommandStream stream(host, state, file.fd, &dc);
    // Nothing else reads the file meanwhile: large blocks, the same reads;
    // with a second thread, parsed there while this one draws.
    stream.ReadAheadOfRegularFile();
    if (threads != 1) stream.ReadOnWorker();
    stream.EvTimer(1);
    result.exited = host.closePosted;

    for (int paint = 0; paint < host.paintsPosted; ++paint) {
      if (host.erasePending) {
        dc.EraseBkgnd(0, 0, width, height, kBackground);
        host.erasePending = false;
      }
      ReplayDisplayList(state, dc);
    }
  }
  result.items = state.displayList.Count();
  return result;
}

std::string KeepFifoBytes(const char* path, std::string& error) {
  const CommandInput input = OpenCommandInput(AT_FDCWD, path);
  FileHandle in{input.fd};
  if (in.fd < 0) {
    error = input.Problem();
    return {};
  }
  if (!input.fifo) return path;
  awaitWriter(in.fd);
  // Open until the process ends: the name below is how it is reached.
  const int copy = ::memfd_create("zorva-render-input", MFD_CLOEXEC);
  if (copy < 0) {
    error = std::strerror(errno);
    return {};
  }
  char chunk[65536];
  for (;;) {
    ssize_t got = ::read(in.fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(copy, chunk + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        error = std::strerror(errno);
        return {};
      }
      done += put;
    }
  }
  return "/proc/self/fd/" + std::to_string(copy);
}
