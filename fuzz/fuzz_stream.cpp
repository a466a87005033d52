// Random bytes as a growing command file: the polling step reads them in
// pieces, parses, obeys control items and draws onto a recording surface.
// No crash, no sanitizer report, the carried text always fits the buffer.
#include <sys/mman.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <streambuf>
#include <string>

#include "display/CommandStream.h"
#include "display/DisplayList.h"
#include "framework/TClientDC.h"
#include "framework/surface/RecordingSurface.h"
#include "items/DrawAttributes.h"
#include "tools/HeadlessHost.h"

namespace {
struct NullBuf : std::streambuf {
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int fd = ::memfd_create("zorva-fuzz", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  const int reader = ::open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY | O_CLOEXEC);
  if (reader < 0) std::abort();

  displayList.Flush();
  clearDisplayList = 1;
  resetDrawAttributes();
  NullBuf sink;
  std::ostream out(&sink);
  {
    RecordingSurface recorder(out);
    TClientDC dc(recorder);
    HeadlessHost host(640, 480);
    CommandStream stream(host, reader, &dc);
    // The first byte picks the piece size: the client writes in pieces and
    // the display polls between them.
    const std::size_t piece = 1 + data[0] % 64;
    for (std::size_t pos = 1; pos < size && !host.closePosted; pos += piece) {
      const std::size_t n = std::min(piece, size - pos);
      if (::write(fd, data + pos, n) != static_cast<ssize_t>(n)) std::abort();
      stream.EvTimer(1);
      if (stream.Carried() < 0 || stream.Carried() > CommandStream::BufSize - 1) std::abort();
      if (!host.closePosted && !host.timerArmed) std::abort();
    }
  }
  displayList.Flush();
  ::close(reader);
  ::close(fd);
  return 0;
}
