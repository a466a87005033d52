#include "stream/SlabAhead.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "stream/itemList.h"
#include "base/HugePages.h"
#include "tests/items/zvItemProbe.h"

namespace {

// Whether every page of the block is present: its memory was made before
// it was handed over, not at the first writes.
bool allPresent(void* block) {
  const long page = sysconf(_SC_PAGESIZE);
  std::vector<unsigned char> present(kHugePageBytes / static_cast<std::size_t>(page));
  if (mincore(block, kHugePageBytes, present.data()) != 0) return false;
  return std::all_of(present.begin(), present.end(), [](unsigned char p) { return (p & 1) != 0; });
}

bool allZero(const void* block) {
  const auto* bytes = static_cast<const unsigned char*>(block);
  return std::all_of(bytes, bytes + kHugePageBytes, [](unsigned char b) { return b == 0; });
}

}  // namespace

TEST(SlabAhead, HandsOverOnePresentZeroedBlockPerStart) {
  SlabAhead ahead;
  EXPECT_EQ(ahead.Take(), nullptr) << "nothing started";

  ahead.Start();
  ahead.Start();  // one under way or ready at a time
  void* block = ahead.Wait();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kHugePageBytes, 0u);
  EXPECT_TRUE(allPresent(block));
  EXPECT_TRUE(allZero(block));
  EXPECT_EQ(ahead.Take(), nullptr) << "a block is handed over once";
  EXPECT_EQ(ahead.Wait(), nullptr);
  static_cast<unsigned char*>(block)[kHugePageBytes - 1] = 0x5A;  // the caller's to write
  UnmapHugePages(block, kHugePageBytes);

  ahead.Start();  // the next one after a hand-over
  block = ahead.Wait();
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(allZero(block)) << "fresh memory, whatever the block before held";
  UnmapHugePages(block, kHugePageBytes);
}

TEST(SlabAhead, DestroyingWithABlockUnderWayOrUntakenWaitsAndReleases) {
  {
    SlabAhead ahead;
    ahead.Start();  // destroyed while the worker may still be running
  }
  {
    SlabAhead ahead;
    ahead.Start();
    void* block = ahead.Wait();
    ASSERT_NE(block, nullptr);
    UnmapHugePages(block, kHugePageBytes);
    ahead.Start();  // made again and never taken
  }
}

TEST(SlabAhead, TakeNeverWaitsAndABlockNotReadyIsHandedOverLater) {
  SlabAhead ahead;
  for (int round = 0; round < 20; ++round) {
    ahead.Start();
    void* now = ahead.Take();  // ready or not: never blocks
    void* later = ahead.Wait();
    EXPECT_TRUE((now == nullptr) != (later == nullptr)) << "one block a start, handed over once";
    void* block = now ? now : later;
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(allZero(block));
    UnmapHugePages(block, kHugePageBytes);
  }
}

TEST(PresentPages, AlignedZeroedAndPresentForAnySize) {
  for (std::size_t bytes : {std::size_t{1}, kHugePageBytes, kHugePageBytes + 1}) {
    auto* p = static_cast<unsigned char*>(MapPresentPages(bytes));
    ASSERT_NE(p, nullptr) << bytes;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % kHugePageBytes, 0u) << bytes;
    EXPECT_TRUE(allPresent(p)) << bytes;
    EXPECT_TRUE(allZero(p)) << bytes;
    p[bytes - 1] = 1;
    UnmapHugePages(p, bytes);
  }
  EXPECT_EQ(MapPresentPages(0), nullptr);
  EXPECT_EQ(MapPresentPages(SIZE_MAX), nullptr);
}

// Text items far into the full-size slabs, which the worker made: each slot
// keeps the string it is given and gives it back when it is overwritten
// after a flush or, past the later appends, when the list ends (the
// sanitizer build checks for leaks).
TEST(ItemList, SlabsMadeAheadHoldStringsLikeAnyOther) {
  itemList list(1000);
  constexpr int kItems = 200'000;  // three full-size slabs and one ahead
  const std::string text = "label";
  for (int i = 0; i < kItems; ++i) {
    int a[3] = {i, 0, 5};
    if (i % 3 == 0)
      list.Add(zvItem(ZV_TEXT, 3, a, (text + std::to_string(i % 7)).c_str()));
    else
      list.Add(zvItem(ZV_LINE, 3, a, ""));
  }
  for (int i = 0; i < kItems; i += 1111) {
    ASSERT_EQ(zvItemProbe::args(list[i])[0], i);
    ASSERT_EQ(zvItemProbe::str(list[i]), i % 3 == 0 ? text + std::to_string(i % 7) : "") << i;
  }
  list.Flush();
  for (int i = 0; i < kItems / 2; ++i) list.Add(zvItem(ZV_LINE, 0, nullptr, ""));
  EXPECT_EQ(list.Count(), kItems / 2);
  EXPECT_EQ(zvItemProbe::str(list[kItems / 2 - 1]), "") << "an overwritten slot drops its string";
  EXPECT_EQ(zvItemProbe::str(list[3]), "");
}
