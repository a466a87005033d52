#include "stream/SlabAhead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "stream/itemList.h"
#include "base/HugePages.h"
#include "tests/items/zvItemProbe.h"

namespace {

std::atomic<int> prepared{0};

// Marks the block at both ends, so a test can tell a prepared block.
void mark(void* block) noexcept {
  auto* bytes = static_cast<unsigned char*>(block);
  bytes[0] = 0xA5;
  bytes[kHugePageBytes - 1] = 0x5A;
  ++prepared;
}

}  // namespace

TEST(SlabAhead, HandsOverOnePreparedBlockPerStart) {
  prepared = 0;
  SlabAhead ahead(mark);
  EXPECT_EQ(ahead.Take(), nullptr) << "nothing started";

  ahead.Start();
  ahead.Start();  // one under way or ready at a time
  void* block = ahead.Take();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(prepared, 1);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kHugePageBytes, 0u);
  const auto* bytes = static_cast<const unsigned char*>(block);
  EXPECT_EQ(bytes[0], 0xA5);
  EXPECT_EQ(bytes[kHugePageBytes - 1], 0x5A);
  EXPECT_EQ(bytes[kHugePageBytes / 2], 0) << "the rest is fresh, zeroed memory";
  EXPECT_EQ(ahead.Take(), nullptr) << "a block is handed over once";
  UnmapHugePages(block, kHugePageBytes);

  ahead.Start();  // the next one after a hand-over
  block = ahead.Take();
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(prepared, 2);
  UnmapHugePages(block, kHugePageBytes);
}

TEST(SlabAhead, DestroyingWithABlockUnderWayOrUntakenWaitsAndReleases) {
  prepared = 0;
  {
    SlabAhead ahead(mark);
    ahead.Start();  // destroyed while the worker may still be running
  }
  {
    SlabAhead ahead(mark);
    ahead.Start();
    while (prepared < 2) std::this_thread::yield();  // ready, never taken
  }
  EXPECT_EQ(prepared, 2);
}

// Text items far into the huge-page slabs, which the worker made: each slot
// starts empty, keeps the string it is given and gives it back on a flush
// and at the end (the sanitizer build checks for leaks).
TEST(ItemList, SlabsMadeAheadHoldStringsLikeAnyOther) {
  itemList list(1000);
  constexpr int kItems = 200'000;  // three huge-page slabs and one ahead
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
  for (int i = 0; i < kItems; ++i) list.Add(zvItem(ZV_LINE, 0, nullptr, ""));
  EXPECT_EQ(zvItemProbe::str(list[kItems - 1]), "") << "an overwritten slot drops its string";
  EXPECT_EQ(zvItemProbe::str(list[3]), "");
}
