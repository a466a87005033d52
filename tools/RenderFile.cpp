#include "tools/RenderFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "display/CommandStream.h"
#include "display/DisplayList.h"
#include "framework/TClientDC.h"
#include "items/DrawAttributes.h"
#include "items/ItemDisplay.h"
#include "tools/HeadlessHost.h"

namespace {

// Closes the file however the rendering ends.
struct FileHandle {
  int fd;
  ~FileHandle() {
    if (fd >= 0) ::close(fd);
  }
};

const TColor kBackground(0, 0, 0);

}  // namespace

RenderResult RenderFile(const char* path, Surface& surface, int width, int height) {
  RenderResult result;
  FileHandle file{::open(path, O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    result.error = std::strerror(errno);
    return result;
  }
  result.opened = true;

  displayList.Flush();
  clearDisplayList = 1;
  resetDrawAttributes();

  HeadlessHost host(width, height);
  {
    TClientDC dc(surface);
    // The window's first size and paint.
    dc.SetViewportOrgEx(0, height);
    dc.EraseBkgnd(0, 0, width, height, kBackground);

    CommandStream stream(host, file.fd, &dc);
    stream.EvTimer(1);
    result.exited = host.closePosted;

    for (int paint = 0; paint < host.paintsPosted; ++paint) {
      if (host.erasePending) {
        dc.EraseBkgnd(0, 0, width, height, kBackground);
        host.erasePending = false;
      }
      displayList.ForEach(DisplayItem, &dc, 0, displayList.Count());
    }
  }
  result.items = displayList.Count();
  displayList.Flush();
  return result;
}
