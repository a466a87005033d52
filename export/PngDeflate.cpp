#include "export/PngDeflate.h"

#include <sched.h>
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Row bytes go to deflate this many at a time: small enough to stay in the
// cache.
constexpr std::size_t kStripBytes = 64 * 1024;
// Output is handed on this many bytes at a time by the one-stream coder.
constexpr std::size_t kOutBytes = 256 * 1024;
// A band holds about this many row bytes: enough that the threads seldom
// meet, few enough that a picture of some megabytes has several.
constexpr std::size_t kBandBytes = 1024 * 1024;
// Bands coded but not yet handed over, at most, a thread.
constexpr int kAheadPerThread = 2;
// Level 1 and a 32 KiB window, as the one-stream coder's header says.
const unsigned char kZlibHeader[2] = {0x78, 0x01};

struct Deflater {
  z_stream z{};
  bool ready = false;
  // windowBits 15: a zlib stream; -15: raw deflate, for a band.
  bool Init(int windowBits) {
    ready = ::deflateInit2(&z, 1, Z_DEFLATED, windowBits, 8, Z_RLE) == Z_OK;
    return ready;
  }
  ~Deflater() {
    if (ready) ::deflateEnd(&z);
  }
};

int stripRowsFor(std::size_t rowBytes) {
  return static_cast<int>(std::max<std::size_t>(1, kStripBytes / rowBytes));
}

// All rows through one zlib stream, handed on kOutBytes at a time.
bool deflateOneStream(int rows, std::size_t rowBytes, const PngRowPacker& pack, const PngStreamSink& sink) {
  Deflater d;
  if (!d.Init(15)) return false;
  const int stripRows = stripRowsFor(rowBytes);
  Bytes strip(rowBytes * static_cast<std::size_t>(stripRows));
  Bytes out(kOutBytes);
  d.z.next_out = out.data();
  d.z.avail_out = kOutBytes;
  for (int y = 0;;) {
    if (d.z.avail_in == 0 && y < rows) {
      const int n = std::min(stripRows, rows - y);
      for (int r = 0; r < n; ++r) pack(y + r, strip.data() + rowBytes * static_cast<std::size_t>(r));
      y += n;
      d.z.next_in = strip.data();
      d.z.avail_in = static_cast<uInt>(rowBytes * static_cast<std::size_t>(n));
    }
    // Every call has input or finishes, and room for output, so deflate
    // always makes progress: any status but these is a fault.
    const int status = ::deflate(&d.z, y == rows ? Z_FINISH : Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) return false;
    if (d.z.avail_out == 0 || status == Z_STREAM_END) {
      if (!sink(out.data(), kOutBytes - d.z.avail_out)) return false;
      d.z.next_out = out.data();
      d.z.avail_out = kOutBytes;
    }
    if (status == Z_STREAM_END) return true;
  }
}

struct Band {
  enum State { Waiting, Done, Failed } state = Waiting;  // set under the coder's lock
  Bytes bytes;                                           // raw deflate, ending on a byte boundary
  uLong adler = 1;                                       // of the band's row bytes
  z_off_t length = 0;                                    // row bytes in the band
};

// Deflate until the input is used up (flush Z_NO_FLUSH) or until the flush
// is complete, growing `out` as needed.
bool run(Deflater& d, Bytes& out, int flush) {
  for (;;) {
    if (d.z.avail_out == 0) {
      const std::size_t used = out.size();
      out.resize(used + std::max<std::size_t>(used, 64 * 1024));
      d.z.next_out = out.data() + used;
      d.z.avail_out = static_cast<uInt>(out.size() - used);
    }
    const int status = ::deflate(&d.z, flush);
    if (status == Z_STREAM_END) return true;
    if (status != Z_OK && status != Z_BUF_ERROR) return false;
    if (flush == Z_NO_FLUSH ? d.z.avail_in == 0 : (flush == Z_SYNC_FLUSH && d.z.avail_out != 0)) return true;
  }
}

// Fills the band's bytes, checksum and length; false when memory runs out
// or deflate fails.
bool codeBand(Band& band, int first, int rows, bool last, std::size_t rowBytes, const PngRowPacker& pack) {
  try {
    Deflater d;
    if (!d.Init(-15)) throw std::bad_alloc();
    const int stripRows = stripRowsFor(rowBytes);
    Bytes strip(rowBytes * static_cast<std::size_t>(stripRows));
    band.bytes.resize(64 * 1024);
    d.z.next_out = band.bytes.data();
    d.z.avail_out = static_cast<uInt>(band.bytes.size());
    for (int y = first; y < first + rows;) {
      const int n = std::min(stripRows, first + rows - y);
      for (int r = 0; r < n; ++r) pack(y + r, strip.data() + rowBytes * static_cast<std::size_t>(r));
      y += n;
      const auto size = static_cast<uInt>(rowBytes * static_cast<std::size_t>(n));
      band.adler = ::adler32_z(band.adler, strip.data(), size);
      band.length += static_cast<z_off_t>(size);
      d.z.next_in = strip.data();
      d.z.avail_in = size;
      if (!run(d, band.bytes, Z_NO_FLUSH)) throw std::bad_alloc();
    }
    // A sync flush ends on a byte boundary without ending the stream.
    if (!run(d, band.bytes, last ? Z_FINISH : Z_SYNC_FLUSH)) throw std::bad_alloc();
    band.bytes.resize(band.bytes.size() - d.z.avail_out);
    return true;
  } catch (...) {
    band.bytes = Bytes();
    return false;
  }
}

// The bands, taken in order by the threads as they come free and handed to
// the sink in order by the calling thread, which codes bands too while it
// waits.
class BandCoder {
public:
  BandCoder(int rows, std::size_t rowBytes, const PngRowPacker& pack, int threads)
      : rows(rows),
        rowBytes(rowBytes),
        pack(pack),
        bandRows(static_cast<int>(std::max<std::size_t>(1, kBandBytes / rowBytes))),
        bands(static_cast<std::size_t>((rows + bandRows - 1) / bandRows)),
        ahead(kAheadPerThread * threads) {}

  int Bands() const { return static_cast<int>(bands.size()); }

  bool Run(int threads, const PngStreamSink& sink) {
    std::vector<std::thread> workers;
    try {
      for (int i = 1; i < threads; ++i) workers.emplace_back([this] { work(); });
    } catch (...) {
      // Fewer threads: the calling thread codes what they would have.
    }
    const bool ok = handOver(sink);
    {
      std::lock_guard<std::mutex> lock(m);
      stop = true;
    }
    changed.notify_all();
    for (std::thread& t : workers) t.join();
    return ok;
  }

private:
  // Takes the next band when one may be taken (under the lock); -1 if none.
  int take() {
    if (taken == Bands() || taken >= handed + ahead) return -1;
    return taken++;
  }

  // Codes band j outside the lock, then marks it under the lock.
  void code(int j, std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    const int first = j * bandRows;
    Band& band = bands[static_cast<std::size_t>(j)];
    const bool ok = codeBand(band, first, std::min(bandRows, rows - first), j + 1 == Bands(), rowBytes, pack);
    lock.lock();
    band.state = ok ? Band::Done : Band::Failed;
    changed.notify_all();
  }

  void work() {
    std::unique_lock<std::mutex> lock(m);
    for (;;) {
      changed.wait(lock, [this] { return stop || taken == Bands() || taken < handed + ahead; });
      if (stop || taken == Bands()) return;
      code(take(), lock);
    }
  }

  bool handOver(const PngStreamSink& sink) {
    if (!sink(kZlibHeader, sizeof kZlibHeader)) return false;
    uLong adler = 1;
    for (int next = 0; next < Bands(); ++next) {
      Band& band = bands[static_cast<std::size_t>(next)];
      {
        std::unique_lock<std::mutex> lock(m);
        while (band.state == Band::Waiting) {
          if (const int j = take(); j >= 0)
            code(j, lock);
          else
            changed.wait(lock);
        }
      }
      if (band.state == Band::Failed || !sink(band.bytes.data(), band.bytes.size())) return false;
      adler = ::adler32_combine(adler, band.adler, band.length);
      Bytes().swap(band.bytes);
      {
        std::lock_guard<std::mutex> lock(m);
        handed = next + 1;
      }
      changed.notify_all();
    }
    const unsigned char trailer[4] = {
        static_cast<unsigned char>(adler >> 24), static_cast<unsigned char>(adler >> 16),
        static_cast<unsigned char>(adler >> 8), static_cast<unsigned char>(adler)};
    return sink(trailer, sizeof trailer);
  }

  const int rows;
  const std::size_t rowBytes;
  const PngRowPacker& pack;
  const int bandRows;
  std::vector<Band> bands;  // states and counts below are guarded by m
  const int ahead;
  std::mutex m;
  std::condition_variable changed;
  int taken = 0;   // bands begun
  int handed = 0;  // bands handed to the sink
  bool stop = false;
};

}  // namespace

int PngDefaultThreads() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return std::max(1u, std::thread::hardware_concurrency());
}

bool DeflateRows(int rows, std::size_t rowBytes, const PngRowPacker& pack, int threads,
                 const PngStreamSink& sink) {
  if (rows <= 0 || rowBytes == 0) return false;
  if (threads > 1) {
    try {
      BandCoder coder(rows, rowBytes, pack, threads);
      if (coder.Bands() > 1) return coder.Run(std::min(threads, coder.Bands()), sink);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  return deflateOneStream(rows, rowBytes, pack, sink);
}
