#include <gtest/gtest.h>

#include <vector>

#include "stream/itemList.h"
#include "tests/items/zvItemProbe.h"

namespace {

zvItem line(int n) {
  int a[4] = {n, n + 1, n + 2, n + 3};
  return zvItem(ZV_LINE, 4, a, "");
}

void collect(zvItem& item, void* arg) {
  static_cast<std::vector<int>*>(arg)->push_back(zvItemProbe::args(item)[0]);
}

}  // namespace

TEST(ItemList, AppendsPastTheFirstBlockKeepEveryItem) {
  itemList list(1000);
  EXPECT_EQ(list.Count(), 0);
  for (int i = 0; i < 1102; ++i) EXPECT_EQ(list.Add(line(i)), 1);
  EXPECT_EQ(list.Count(), 1102);
  for (int i = 0; i < 1102; ++i) ASSERT_TRUE(list[i] == line(i)) << i;
}

TEST(ItemList, ForEachVisitsTheRangeInOrderAcrossBlocks) {
  itemList list(9);  // blocks of 10, 4, 4, ...
  for (int i = 0; i < 23; ++i) list.Add(line(i));
  std::vector<int> seen;
  list.ForEach(collect, &seen, 0, list.Count());
  ASSERT_EQ(seen.size(), 23u);
  for (int i = 0; i < 23; ++i) EXPECT_EQ(seen[i], i);

  seen.clear();
  list.ForEach(collect, &seen, 8, 15);
  EXPECT_EQ(seen, (std::vector<int>{8, 9, 10, 11, 12, 13, 14}));

  seen.clear();
  list.ForEach(collect, &seen, -5, 1000);
  EXPECT_EQ(seen.size(), 23u) << "bounds are clamped to the items held";
  seen.clear();
  list.ForEach(collect, &seen, 5, 5);
  list.ForEach(collect, &seen, 7, 2);
  EXPECT_TRUE(seen.empty());
}

TEST(ItemList, FlushKeepsStorageAndLaterAppendsOverwrite) {
  itemList list(1000);
  for (int i = 0; i < 1500; ++i) list.Add(line(i));
  list.Flush();
  EXPECT_EQ(list.Count(), 0);
  std::vector<int> seen;
  list.ForEach(collect, &seen, 0, 1500);
  EXPECT_TRUE(seen.empty());
  list.Add(line(77));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(list[0] == line(77));
}

TEST(ItemList, StoresByAssignmentCarryingEverySlot) {
  itemList list;
  zvItem work;
  ASSERT_GT(work.Set("2 4 1 2 3 4 "), 0);
  ASSERT_GT(work.Set("2 2 5 6 "), 0);  // slots 3 and 4 carried from the first item
  list.Add(work);
  EXPECT_EQ(zvItemProbe::args(list[0]), (std::array<int, 5>{5, 6, 3, 4, 0}));
  int k = 99;
  list.Add(zvItem(k, 0, nullptr, "kind 99"));
  EXPECT_EQ(zvItemProbe::func(list[1]), 99);
  EXPECT_EQ(zvItemProbe::str(list[1]), "kind 99");
}

TEST(ItemList, ManySlabsKeepOrderIndexingAndRangesAcrossTheirBounds) {
  itemList list(1000);
  constexpr int kItems = 300'000;  // past the first few full-size slabs
  for (int i = 0; i < kItems; ++i) list.Add(line(i));
  EXPECT_EQ(list.Count(), kItems);
  for (int i = 0; i < kItems; i += 997) ASSERT_EQ(zvItemProbe::args(list[i])[0], i) << i;
  ASSERT_EQ(zvItemProbe::args(list[kItems - 1])[0], kItems - 1);

  // Every range that starts or stops near a power-of-two multiple of the
  // first slab, where slabs meet.
  for (int edge : {1001, 3003, 7007, 63063, 121317, 179571}) {
    std::vector<int> seen;
    list.ForEach(collect, &seen, edge - 3, edge + 3);
    ASSERT_EQ(seen, (std::vector<int>{edge - 3, edge - 2, edge - 1, edge, edge + 1, edge + 2})) << edge;
  }
  long sum = 0, n = 0;
  list.ForEach([](zvItem& item, void* arg) { *static_cast<long*>(arg) += zvItemProbe::args(item)[0]; }, &sum,
               0, kItems);
  list.ForEach([](zvItem&, void* arg) { ++*static_cast<long*>(arg); }, &n, 0, kItems);
  EXPECT_EQ(n, kItems);
  EXPECT_EQ(sum, static_cast<long>(kItems) * (kItems - 1) / 2);

  list.Flush();
  for (int i = 0; i < kItems; ++i) list.Add(line(-i));
  EXPECT_EQ(zvItemProbe::args(list[kItems - 1])[0], -(kItems - 1)) << "slots are reused after a flush";
}
