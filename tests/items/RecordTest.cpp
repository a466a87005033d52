#include <gtest/gtest.h>

#include "tests/items/zvItemProbe.h"

using P = zvItemProbe;
using Args = std::array<int, 5>;

TEST(Record, DefaultItemIsEmptyAndEqualsAnother) {
  zvItem a, b;
  EXPECT_EQ(P::func(a), 0);
  EXPECT_EQ(P::count(a), 0);
  EXPECT_EQ(P::args(a), (Args{0, 0, 0, 0, 0}));
  EXPECT_EQ(P::str(a), "");
  EXPECT_TRUE(a == b);
}

TEST(Record, ArgumentConstructorCapsAndReadsOnlyTheCappedCount) {
  // Only five readable values: reading a sixth would trip the sanitizer.
  int five[5] = {1, 2, 3, 4, 5};
  zvItem capped(2, 7, five, "x");
  EXPECT_EQ(P::count(capped), 5);
  EXPECT_EQ(P::args(capped), (Args{1, 2, 3, 4, 5}));

  zvItem none(6, 0, nullptr, "");
  EXPECT_EQ(P::count(none), 0);
  EXPECT_EQ(P::args(none), (Args{0, 0, 0, 0, 0}));

  zvItem negative(6, -3, nullptr, nullptr);
  EXPECT_EQ(P::count(negative), -3);
  EXPECT_EQ(P::str(negative), "");
}

TEST(Record, CopyConstructorCopiesCountedSlotsAssignmentCopiesAll) {
  zvItem src;
  ASSERT_GT(src.Set("2 1 7 "), 0);
  P::setArgs(src, {7, 8, 9, 10, 11});

  zvItem copied(src);
  EXPECT_EQ(P::args(copied), (Args{7, 0, 0, 0, 0}));

  zvItem assigned;
  assigned = src;
  EXPECT_EQ(P::args(assigned), (Args{7, 8, 9, 10, 11}));
  EXPECT_EQ(P::count(assigned), 1);
}

TEST(Record, CopiesOwnTheirString) {
  int a[3] = {1, 2, 5};
  auto* src = new zvItem(3, 3, a, "Hello");
  zvItem copy(*src);
  zvItem assigned;
  assigned = *src;
  delete src;
  EXPECT_EQ(P::str(copy), "Hello");
  EXPECT_EQ(P::str(assigned), "Hello");
}

TEST(Record, EqualityIsDecidedByTheLeftCount) {
  int a[4] = {1, 2, 3, 4};
  int b[4] = {1, 2, 9, 9};
  zvItem two(2, 2, a, "s");
  zvItem four(2, 4, b, "s");
  EXPECT_TRUE(two == four);
  EXPECT_FALSE(four == two);
  zvItem fourSame(2, 4, a, "s");
  EXPECT_TRUE(fourSame == zvItem(2, 4, a, "s"));
  EXPECT_FALSE(fourSame == zvItem(2, 2, a, "s")) << "slots 3 and 4 of a count-2 copy are zero";
}

TEST(Record, EqualityComparesKindAndStringBytes) {
  int a[3] = {1, 2, 5};
  EXPECT_FALSE(zvItem(3, 3, a, "Hello") == zvItem(3, 3, a, "hello"));
  EXPECT_FALSE(zvItem(3, 3, a, "Hello") == zvItem(9, 3, a, "Hello"));
  EXPECT_TRUE(zvItem(99, 3, a, "") == zvItem(99, 3, a, ""));
  EXPECT_TRUE(zvItem(2, -1, a, "") == zvItem(2, 0, nullptr, "")) << "count below 0 compares no slot";
}
