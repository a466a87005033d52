#pragma once
// A surface that draws nothing: measures everything but the pixels.

#include "framework/surface/Surface.h"

class NullSurface : public Surface {
public:
  void MoveToEx(int, int) override {}
  void LineTo(int, int) override {}
  void TextOutA(int, int, const char*, int) override {}
  std::uint32_t SetTextColor(std::uint32_t c) override { return c; }
  unsigned SetTextAlign(unsigned f) override { return f; }
  int SetBkMode(int m) override { return m; }
  GdiHandle SelectObject(GdiHandle object) override {
    GdiHandle& slot = GdiObjects::IsPen(object) ? pen : font;
    const GdiHandle previous = slot;
    slot = object;
    return previous;
  }
  void Arc(int, int, int, int, int, int, int, int) override {}
  void SetViewportOrgEx(int, int) override {}
  void EraseBkgnd(int, int, int, int, std::uint32_t) override {}

private:
  GdiHandle pen = GdiObjects::DefaultPen;
  GdiHandle font = GdiObjects::DefaultFont;
};

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "stream/CommandStream.h"
#include "stream/DisplayState.h"
#include "stream/HeadlessHost.h"
#include "framework/gdi/TClientDC.h"

// One polling step over the whole file at `path`, appending to the display
// list of `display` and drawing on a NullSurface.
inline void followFile(const std::string& path, DisplayState& display) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  NullSurface surface;
  TClientDC dc(surface);
  HeadlessHost host(1920, 1080);
  CommandStream stream(host, display, fd, &dc);
  stream.EvTimer(1);
  ::close(fd);
}
