#include <gtest/gtest.h>

#include <string>

#include "items/ItemString.h"

namespace {
ItemString make(const std::string& s) { return ItemString(s.data(), s.size()); }
}  // namespace

TEST(ItemString, EmptyHasNoBytesOfItsOwn) {
  ItemString a, b = make("");
  EXPECT_TRUE(a.empty());
  EXPECT_TRUE(b.empty());
  EXPECT_STREQ(a.c_str(), "");
  EXPECT_EQ(a.size(), 0u);
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a.SharesWith(b)) << "nothing to share";
  b.assign("x", 1);
  b.assign("", 0);
  EXPECT_TRUE(b.empty());
}

TEST(ItemString, CopiesShareTheBytesAndNewBytesAreNeverSeenByOthers) {
  ItemString original = make("Hello");
  ItemString copy(original);
  ItemString assigned;
  assigned = original;
  EXPECT_TRUE(copy.SharesWith(original));
  EXPECT_TRUE(assigned.SharesWith(original));

  // Same length as the shared bytes: must not be written in place.
  copy.assign("World", 5);
  EXPECT_EQ(copy.view(), "World");
  EXPECT_EQ(original.view(), "Hello");
  EXPECT_EQ(assigned.view(), "Hello");
  EXPECT_FALSE(copy.SharesWith(original));

  // Bytes of its own, same length: rewritten, and still its own.
  copy.assign("Quiet", 5);
  EXPECT_EQ(copy.view(), "Quiet");
  EXPECT_EQ(original.view(), "Hello");

  ItemString& self = assigned;
  assigned = self;  // self-assignment keeps the bytes
  EXPECT_EQ(assigned.view(), "Hello");
  {
    ItemString gone = make("short-lived");
    assigned = gone;
  }
  EXPECT_EQ(assigned.view(), "short-lived") << "the last holder keeps the bytes alive";
  EXPECT_EQ(original.view(), "Hello");
}

TEST(ItemString, KeepsEveryByteAndComparesThemExactly) {
  std::string bytes;
  for (int c = 1; c < 256; ++c) bytes += static_cast<char>(c);
  const ItemString all = make(bytes);
  EXPECT_EQ(all.size(), 255u);
  EXPECT_EQ(all.view(), bytes);
  EXPECT_EQ(all.c_str()[255], '\0');
  EXPECT_TRUE(all == make(bytes)) << "equal bytes in two copies";
  EXPECT_FALSE(make("Arial") == make("arial"));
  EXPECT_FALSE(make("Arial") == make("Arial "));
}
