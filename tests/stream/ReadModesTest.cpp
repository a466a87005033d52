// Reading a regular file in large blocks gives every read the bytes a read
// of its own would, and reading on a worker thread hands over the items of
// the reading on one: the same items, the same calls, also where an item
// with too few arguments carries those of the item before it in the same
// read; a file that grows or is rewritten is followed as before; an exit
// item or a failure of the sink ends a reading on a worker as on one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>

#include "stream/PipedRead.h"
#include "stream/ReadAhead.h"
#include "tests/stream/StreamFixture.h"

namespace {

// Items of every kind, some with fewer arguments than their kind uses,
// long texts, blank runs and NULs, so that reads end anywhere.
std::string mixedBytes(unsigned seed, int items) {
  std::mt19937 rng(seed);
  std::string s = "0 0 ";
  for (int i = 0; i < items; ++i) {
    // Any kind but exit, which would end the reading; starts and clears
    // seldom.
    int kind = 2 + static_cast<int>(rng() % 15);
    if (kind == 12 && rng() % 8) kind = 2;
    if (kind == 3 || kind == 9) {
      // Texts and faces of their stated length, a few longer than a read.
      const int len = rng() % 10 ? static_cast<int>(rng() % 40) : 1500 + static_cast<int>(rng() % 2000);
      s +=
          kind == 3 ? "3 4 " + std::to_string(rng() % 800) + " " + std::to_string(rng() % 600) + " " : "9 2 ";
      s += std::to_string(len) + " " +
           std::string(static_cast<std::size_t>(len), static_cast<char>('a' + rng() % 26));
    } else {
      const int count = static_cast<int>(rng() % 6);
      s += std::to_string(kind) + " " + std::to_string(count) + " ";
      for (int a = 0; a < count; ++a) s += std::to_string(static_cast<int>(rng() % 2000) - 500) + " ";
    }
    if (rng() % 50 == 0) s += std::string(rng() % 1500, rng() % 2 ? ' ' : '\n');
    if (rng() % 200 == 0) s += std::string(1, '\0');
  }
  return s;
}

enum class Mode { ReadByRead, Blocks, Worker };

// The trace and the list of one polling step over the file, read by read,
// in blocks, or in blocks on a worker thread.
std::string followAll(const std::string& path, Mode mode) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  EXPECT_GE(fd, 0);
  std::ostringstream trace;
  DisplayState state;
  {
    RecordingSurface recorder(trace);
    TClientDC dc(recorder);
    HeadlessHost host(800, 600);
    CommandStream stream(host, state, fd, &dc);
    if (mode != Mode::ReadByRead) stream.ReadAheadOfRegularFile();
    if (mode == Mode::Worker) stream.ReadOnWorker();
    stream.EvTimer(1);
  }
  ::close(fd);
  std::ostringstream list;
  for (int i = 0; i < state.displayList.Count(); ++i) {
    const zvItem& item = state.displayList[i];
    list << zvItemProbe::func(item) << ' ' << zvItemProbe::count(item);
    for (int a : zvItemProbe::args(item)) list << ' ' << a;
    list << ' ' << zvItemProbe::str(item) << '\n';
  }
  return trace.str() + list.str();
}

TEST_F(StreamTest, ReadingAheadOrOnAWorkerGivesTheItemsAndCallsOfReadByRead) {
  for (unsigned seed : {1u, 2u, 3u}) {
    // More items than the worker hands over before it waits.
    const std::string bytes = mixedBytes(seed, seed == 1 ? 60000 : 20000);
    ::ftruncate(writer, 0);
    ::lseek(writer, 0, SEEK_SET);
    append(bytes);
    const std::string each = followAll(path, Mode::ReadByRead);
    EXPECT_GT(std::count(each.begin(), each.end(), '\n'), 20000) << "the file is read to its end";
    for (Mode mode : {Mode::Blocks, Mode::Worker}) {
      // Compared whole, the difference told by where it starts (the texts
      // are too long for a printed comparison).
      const std::string got = followAll(path, mode);
      const auto diff = std::mismatch(got.begin(), got.end(), each.begin(), each.end());
      EXPECT_TRUE(got == each) << "seed " << seed << ", mode " << static_cast<int>(mode) << ": from byte "
                               << (diff.first - got.begin()) << ", "
                               << std::string(diff.first, got.end()).substr(0, 200) << " against "
                               << std::string(diff.second, each.end()).substr(0, 200);
    }
  }
}

TEST_F(StreamTest, ReadingAheadFollowsAGrowingFileAndARewrite) {
  stream->ReadAheadOfRegularFile();
  append("0 0 2 4 1 1 2 2 2 4 3 3 4 4 3 4 1 1");
  tick();
  ASSERT_EQ(count(), 9);
  append(" 2 hi 2 4 5 5 6 6 ");
  tick();
  ASSERT_EQ(count(), 11);
  EXPECT_EQ(zvItemProbe::str(at(9)), "hi");
  EXPECT_EQ(zvItemProbe::args(at(10))[0], 5);
  // A new picture in the file, shorter than what was read.
  ASSERT_EQ(::ftruncate(writer, 0), 0);
  ASSERT_EQ(::lseek(writer, 0, SEEK_SET), 0);
  append("0 0 2 2 9 9 ");
  tick();
  ASSERT_EQ(count(), 8);
  EXPECT_EQ(zvItemProbe::args(at(7)), (std::array<int, 5>{9, 9, 0, 0, 0}));
}

TEST_F(StreamTest, OnAWorkerAnExitEndsTheReadingAndNothingAfterItIsTaken) {
  stream->ReadOnWorker();
  std::string bytes = "0 0 ";
  for (int i = 0; i < 10000; ++i) bytes += "2 4 1 1 2 2 ";
  append(bytes + "1 0 2 4 9 9 9 9 " + bytes);
  tick();
  EXPECT_EQ(count(), 10007);
  EXPECT_TRUE(host.closePosted);
}

// A sink that fails at its 5000th item, as a list out of memory would.
class FailingSink : public ItemSink {
public:
  bool TakeItem(zvItem&) override {
    if (++taken == 5000) throw std::bad_alloc();
    return true;
  }
  int taken = 0;
};

TEST_F(StreamTest, OnAWorkerAFailureOfTheSinkEndsBothThreads) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += "2 4 1 1 2 2 ";
  append(bytes);
  CommandReader reading(reader);
  FailingSink sink;
  EXPECT_THROW(ReadPiped(reading, sink), std::bad_alloc);
  EXPECT_EQ(sink.taken, 5000);
}

TEST(ReadAhead, EachReadGivesWhatReadingTheFileWouldGive) {
  char name[] = "/tmp/zorva-ahead-XXXXXX";
  const int w = ::mkstemp(name);
  ASSERT_GE(w, 0);
  std::string bytes(3 * ReadAhead::kBlock + 123, '\0');
  std::mt19937 rng(9);
  for (char& c : bytes) c = static_cast<char>(rng());
  ASSERT_EQ(::write(w, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  const int direct = ::open(name, O_RDONLY), blocks = ::open(name, O_RDONLY);
  ReadAhead ahead(blocks);
  std::string a(ReadAhead::kBlock, '\0'), b(ReadAhead::kBlock, '\0');
  for (std::size_t n : {1023u, 1u, 5000u, 200000u, 262144u, 1023u, 300000u}) {
    const std::size_t want = std::min<std::size_t>(n, ReadAhead::kBlock);
    const ssize_t got = ahead.Read(b.data(), want);
    ASSERT_EQ(got, ::read(direct, a.data(), want)) << n;
    EXPECT_EQ(a.substr(0, static_cast<std::size_t>(got)), b.substr(0, static_cast<std::size_t>(got))) << n;
  }
  // On to the end, then after the file grew.
  for (ssize_t got = 1; got > 0;) {
    got = ahead.Read(b.data(), 1023);
    ASSERT_EQ(got, ::read(direct, a.data(), 1023));
    EXPECT_EQ(a.substr(0, static_cast<std::size_t>(got)), b.substr(0, static_cast<std::size_t>(got)));
  }
  ASSERT_EQ(::write(w, "2 4 ", 4), 4);
  EXPECT_EQ(ahead.Read(b.data(), 1023), 4);
  EXPECT_EQ(b.substr(0, 4), "2 4 ");
  ::close(direct);
  ::close(blocks);
  ::close(w);
  ::unlink(name);
}

}  // namespace
