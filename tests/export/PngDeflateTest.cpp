// The rows' zlib stream on any number of threads: one valid stream that
// inflates to the rows, with bands that do not depend on the number of
// threads, and a refusal that stops it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QImage>
#include <QRandomGenerator>

#include <string>
#include <vector>

#include "export/PngDeflate.h"
#include "export/PngWriter.h"
#include "tests/support/GuiAppTest.h"
#include "tests/support/ImageCompare.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Row y: a filter byte of 0, then runs of a few lengths and stretches of
// noise, so that runs cross the band bounds and some bands do not shrink.
void row(int y, std::size_t rowBytes, unsigned char* out) {
  QRandomGenerator random(static_cast<quint32>(y) + 1);
  out[0] = 0;
  for (std::size_t x = 1; x < rowBytes; ++x)
    out[x] = (y % 5 == 3) ? static_cast<unsigned char>(random.generate())
                          : static_cast<unsigned char>((x / (1 + y % 7)) % 3);
}

Bytes rows(int n, std::size_t rowBytes) {
  Bytes all(static_cast<std::size_t>(n) * rowBytes);
  for (int y = 0; y < n; ++y) row(y, rowBytes, all.data() + static_cast<std::size_t>(y) * rowBytes);
  return all;
}

Bytes deflate(int n, std::size_t rowBytes, int threads) {
  Bytes out;
  const bool ok = DeflateRows(
      n, rowBytes, [rowBytes](int y, unsigned char* p) { row(y, rowBytes, p); }, threads,
      [&out](const unsigned char* p, std::size_t size) {
        out.insert(out.end(), p, p + size);
        return true;
      });
  return ok ? out : Bytes();
}

// The inflated stream; empty when it is not one whole valid zlib stream
// (checksum included) with nothing after it.
Bytes inflate(const Bytes& stream, std::size_t expected) {
  Bytes out(expected + 1);
  z_stream z{};
  if (::inflateInit(&z) != Z_OK) return {};
  z.next_in = const_cast<unsigned char*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int status = ::inflate(&z, Z_FINISH);
  const bool whole = status == Z_STREAM_END && z.avail_in == 0;
  out.resize(out.size() - z.avail_out);
  ::inflateEnd(&z);
  return whole ? out : Bytes();
}

class PngDeflateImages : public GuiAppTest {};

}  // namespace

TEST(PngDeflate, AnyNumberOfThreadsGivesOneStreamOfTheRows) {
  struct Shape {
    int rows;
    std::size_t rowBytes;
  };
  // One row; rows smaller than a band; several bands with a short last
  // one; rows larger than a band each.
  for (const Shape s : {Shape{1, 4}, Shape{300, 97}, Shape{700, 5761}, Shape{3, 1536 * 1024 + 1}}) {
    SCOPED_TRACE(testing::Message() << s.rows << " rows of " << s.rowBytes);
    const Bytes want = rows(s.rows, s.rowBytes);
    Bytes banded;
    for (int threads : {1, 2, 3, 4, 8}) {
      const Bytes stream = deflate(s.rows, s.rowBytes, threads);
      ASSERT_FALSE(stream.empty()) << threads;
      EXPECT_TRUE(inflate(stream, want.size()) == want) << threads << " threads";
      if (threads == 1) continue;
      if (banded.empty()) banded = stream;
      EXPECT_TRUE(stream == banded) << "the bands are the same on " << threads << " threads";
    }
  }
}

TEST(PngDeflate, ARefusalStopsTheStreamOnEveryNumberOfThreads) {
  for (int threads : {1, 2, 4}) {
    for (int refuseAt : {0, 1, 3}) {
      int calls = 0;
      const bool ok = DeflateRows(
          700, 5761, [](int y, unsigned char* p) { row(y, 5761, p); }, threads,
          [&](const unsigned char*, std::size_t) { return calls++ < refuseAt; });
      EXPECT_FALSE(ok) << threads << " threads, refused at " << refuseAt;
      EXPECT_EQ(calls, refuseAt + 1) << "no bytes offered after a refusal";
    }
  }
  EXPECT_FALSE(DeflateRows(
      0, 4, [](int, unsigned char*) {}, 2, [](const unsigned char*, std::size_t) { return true; }));
}

TEST_F(PngDeflateImages, ThePictureReadsTheSameOnEveryNumberOfThreads) {
  // Some megabytes of rows: several bands.
  QImage image(1500, 1100, QImage::Format_RGB32);
  image.fill(Qt::black);
  QRandomGenerator random(3);
  for (int y = 0; y < image.height(); y += 7) {
    auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) line[x] = random.generate();
  }
  for (int threads : {1, 2, 4}) {
    QByteArray bytes;
    ASSERT_TRUE(EncodePng(
        image,
        [&](const unsigned char* p, std::size_t n) {
          bytes.append(reinterpret_cast<const char*>(p), static_cast<qsizetype>(n));
          return true;
        },
        threads));
    EXPECT_EQ(firstDifference(QImage::fromData(bytes, "PNG"), image), "") << threads << " threads";
  }
}
