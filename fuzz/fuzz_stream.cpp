// Random bytes as a growing command file, written in pieces with a polling
// step after each.
//   1. The items the stream yields are exactly those an independent reader
//      yields from the same bytes delivered whole (with a buffer large enough
//      for every item): nothing lost, nothing invented, whatever the pieces.
//   2. The whole window path (control items, display list, drawing onto a
//      recording surface) takes the same bytes without a crash or sanitizer
//      report; the carried text always fits the buffer and polling goes on
//      until an exit item.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <random>
#include <streambuf>
#include <string>
#include <vector>

#include "stream/CommandReader.h"
#include "stream/CommandStream.h"
#include "stream/DisplayState.h"
#include "stream/HeadlessHost.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/RecordingSurface.h"
#include "tests/stream/ReferenceReader.h"

namespace {

struct NullBuf : std::streambuf {
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

struct Collect : ItemSink {
  std::vector<zvItem> items;
  bool TakeItem(zvItem& item) override {
    items.push_back(item);
    return item.GetFunc() != ZV_EXIT;
  }
};

// A file written by one descriptor and read by another, as client and
// display share the command file.
struct SharedFile {
  int writer = ::memfd_create("zorva-fuzz", MFD_CLOEXEC);
  int reader = ::open(("/proc/self/fd/" + std::to_string(writer)).c_str(), O_RDONLY | O_CLOEXEC);
  SharedFile() {
    if (writer < 0 || reader < 0) std::abort();
  }
  ~SharedFile() {
    ::close(reader);
    ::close(writer);
  }
  void write(const std::uint8_t* p, std::size_t n) {
    if (::write(writer, p, n) != static_cast<ssize_t>(n)) std::abort();
  }
};

// Piece sizes from 1 byte to twice the buffer, chosen by the first byte.
template <typename Step>
void inPieces(const std::uint8_t* data, std::size_t size, SharedFile& file, Step step) {
  std::minstd_rand rng(data[0]);
  for (std::size_t pos = 1; pos < size;) {
    const std::size_t n = std::min<std::size_t>(1 + rng() % (data[0] < 128 ? 64 : 2048), size - pos);
    file.write(data + pos, n);
    pos += n;
    if (!step()) return;
  }
}

void checkItems(const std::uint8_t* data, std::size_t size) {
  SharedFile file;
  CommandReader reader(file.reader);
  Collect got;
  bool stopped = false;
  inPieces(data, size, file, [&] {
    stopped = reader.Read(got) == CommandReader::Outcome::Stopped;
    if (reader.Carried() < 0 || reader.Carried() > CommandReader::BufSize - 1) std::abort();
    return !stopped;
  });
  const std::vector<RefItem> want =
      ReferenceItems(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  if (got.items.size() != want.size()) std::abort();
  for (std::size_t i = 0; i < want.size(); ++i)
    if (!SameAsWritten(got.items[i], want[i])) std::abort();
  if (stopped != (!want.empty() && want.back().func == ZV_EXIT)) std::abort();
}

void runWindowPath(const std::uint8_t* data, std::size_t size) {
  SharedFile file;
  // One state for every run, as a daemon keeps one: each run starts afresh.
  static DisplayState state;
  state.Restart();
  NullBuf sink;
  std::ostream out(&sink);
  {
    RecordingSurface recorder(out);
    TClientDC dc(recorder);
    HeadlessHost host(640, 480);
    CommandStream stream(host, state, file.reader, &dc);
    inPieces(data, size, file, [&] {
      stream.EvTimer(1);
      if (stream.Carried() < 0 || stream.Carried() > CommandStream::BufSize - 1) std::abort();
      if (!host.closePosted && !host.timerArmed) std::abort();
      return !host.closePosted;
    });
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  checkItems(data, size);
  runWindowPath(data, size);
  return 0;
}
