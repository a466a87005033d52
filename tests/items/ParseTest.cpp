#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "items/ItemReader.h"
#include "tests/items/zvItemProbe.h"

using P = zvItemProbe;
using Args = std::array<int, 5>;

namespace {
int set(zvItem& item, const std::string& text) { return item.Set(text.c_str()); }
}  // namespace

TEST(ReadArg, TokensRunToTheNextSpace) {
  struct Case {
    const char* text;
    int used;
    int value;
  };
  const Case cases[] = {
      {"-5 ", 2, -5},
      {"+5 ", 2, 5},
      {"12abc ", 5, 12},
      {"abc ", 3, 0},
      {"  \t\n42 ", 6, 42},
      {"7\n3 4", 3, 7},
      {"4294967297 ", 10, 1},
      {"-2147483649 ", 11, 2147483647},
      {"99999999999999999999999 ", 23, -159383553},
      {"- ", 1, 0},
      {"\xff\x80 ", 2, 0},
  };
  for (const auto& c : cases) {
    int v = 12345;
    EXPECT_EQ(zvItem::readArg(c.text, &v), c.used) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
}

TEST(ReadArg, NoSpaceMeansNotYetArrived) {
  for (const char* text : {"", "   ", "\n\t", "12", "12\n", "\v\f\r"}) {
    int v = 77;
    EXPECT_EQ(zvItem::readArg(text, &v), 0) << '"' << text << '"';
    EXPECT_EQ(v, 77);
  }
}

TEST(Set, ExampleItems) {
  zvItem i;
  EXPECT_EQ(set(i, "2 4 10 20 110 220 "), 17);
  EXPECT_EQ(P::func(i), 2);
  EXPECT_EQ(P::count(i), 4);
  EXPECT_EQ(P::args(i), (Args{10, 20, 110, 220, 0}));

  zvItem t;
  EXPECT_EQ(set(t, "3 4 10 20 5 Hello"), 17);
  EXPECT_EQ(P::count(t), 3);
  EXPECT_EQ(P::str(t), "Hello");

  zvItem f;
  EXPECT_EQ(set(f, "9 2 5 Arial"), 11);
  EXPECT_EQ(P::count(f), 1);
  EXPECT_EQ(P::args(f)[0], 5);
  EXPECT_EQ(P::str(f), "Arial");

  zvItem s;
  EXPECT_EQ(set(s, "0 0 "), 3);
  EXPECT_EQ(P::func(s), 0);
}

TEST(Set, IncompleteItemsGiveZeroAndKeepTheString) {
  zvItem i;
  for (const char* text :
       {"", "  \n ", "2", "2 4 10 20 110 220", "2 4 10 2", "3 4 10 20 5 Hel", "9 2 5 Ari", "3 4 10 20 5"}) {
    EXPECT_EQ(i.Set(text), 0) << text;
  }
  EXPECT_EQ(P::str(i), "");
  EXPECT_EQ(set(i, "3 4 10 20 5 Hello"), 17);
  EXPECT_EQ(i.Set("3 4 10 20 5 Bye"), 0);
  EXPECT_EQ(P::str(i), "Hello") << "a 0 result leaves the string as it was";
}

TEST(Set, LineFeedInsteadOfSpaceSwallowsNextKind) {
  zvItem i;
  const std::string text = "2 4 10 20 110 220\n3 4 1 2 3 abc";
  int used = set(i, text);
  EXPECT_EQ(P::args(i)[3], 220);
  EXPECT_EQ(used, 19) << "the last token runs to the space after the next kind";
  zvItem next;
  // The next read starts at the count: kind 4 (line colour) with 1, 2, 3.
  EXPECT_GT(next.Set(text.c_str() + used), 0);
  EXPECT_EQ(P::func(next), 4);
}

TEST(Set, TextAndFontStrings) {
  zvItem i;
  EXPECT_EQ(set(i, "3 4 10 20 0 "), 12);
  EXPECT_EQ(P::str(i), "");

  EXPECT_EQ(set(i, "3 4 1 2 11 a b\nc\r\n d e"), 22);
  EXPECT_EQ(P::str(i), "a b\nc\r\n d e");

  zvItem zeroCount;
  int was[5] = {1, 2, 3, 4, 5};
  zeroCount = zvItem(7, 5, was, "old");
  EXPECT_EQ(set(zeroCount, "3 0 "), 3);
  EXPECT_EQ(P::count(zeroCount), 0);
  EXPECT_EQ(P::str(zeroCount), "old");
  EXPECT_EQ(P::args(zeroCount), (Args{1, 2, 3, 4, 5}));

  zvItem countOne;
  countOne = zvItem(9, 1, was, "old");
  EXPECT_EQ(set(countOne, "3 1 "), 4);
  EXPECT_EQ(P::count(countOne), 0);
  EXPECT_EQ(P::str(countOne), "");

  zvItem font;
  EXPECT_EQ(set(font, "9 2 0 "), 6);
  EXPECT_EQ(P::str(font), "");
}

TEST(Set, CountIsCappedAtFive) {
  zvItem i;
  const std::string text = "2 7 1 2 3 4 5 6 7 ";
  int used = set(i, text);
  EXPECT_EQ(used, 13);
  EXPECT_EQ(P::count(i), 5);
  EXPECT_EQ(P::args(i), (Args{1, 2, 3, 4, 5}));
  zvItem next;
  EXPECT_EQ(next.Set(text.c_str() + used), 0) << "6 is read as a kind, 7 as a count";
  EXPECT_EQ(P::func(next), 6);
  EXPECT_EQ(P::count(next), 5);

  zvItem text7;
  // Capped at 5, minus the string: four integers, the last (4) its length.
  EXPECT_EQ(set(text7, "3 9 1 2 3 4 2 ab"), 16);
  EXPECT_EQ(P::count(text7), 4);
  EXPECT_EQ(P::str(text7), "2 ab");
}

TEST(Set, UnknownKindsAndNonNumbers) {
  zvItem i;
  EXPECT_EQ(set(i, "99 2 5 6 "), 8);
  EXPECT_EQ(P::func(i), 99);
  EXPECT_EQ(P::args(i)[1], 6);
  EXPECT_EQ(set(i, "abc 0 "), 5);
  EXPECT_EQ(P::func(i), 0);
}

TEST(Set, WorkingItemCarriesSlotsAndStringOfEarlierItems) {
  zvItem i;
  ASSERT_GT(set(i, "3 4 1 2 3 abc"), 0);
  ASSERT_GT(set(i, "2 4 10 20 30 40 "), 0);
  ASSERT_GT(set(i, "2 2 5 6 "), 0);
  EXPECT_EQ(P::args(i), (Args{5, 6, 30, 40, 0}));
  EXPECT_EQ(P::str(i), "abc");
}

TEST(Set, NulEndsTheText) {
  zvItem i;
  const char text[] = "2 4 1 2\0 3 4 ";
  EXPECT_EQ(i.Set(text), 0);
}

// Mended faults: strings longer than the 255-byte buffer, negative lengths
// and negative counts must stay inside the text and inside the item.
TEST(SetHostile, LongStringIsTruncatedButFullyConsumed) {
  const std::string body(1000, 'x');
  const std::string text = "3 4 1 2 1000 " + body + "2 4 1 2 3 4 ";
  zvItem i;
  int used = set(i, text);
  EXPECT_EQ(used, 13 + 1000);
  EXPECT_EQ(P::str(i).size(), 255u);
  EXPECT_EQ(P::args(i)[2], 1000);
  zvItem next;
  EXPECT_EQ(next.Set(text.c_str() + used), 11);
  EXPECT_EQ(P::func(next), 2);

  EXPECT_EQ(set(i, "3 4 1 2 1000 " + body.substr(0, 999)), 0) << "999 of 1000 bytes: incomplete";
  EXPECT_EQ(set(i, "9 2 256 " + std::string(256, 'f')), 8 + 256);
  EXPECT_EQ(P::str(i), std::string(255, 'f'));
}

TEST(SetHostile, NegativeLengthsAndCountsReadAnEmptyString) {
  zvItem i;
  EXPECT_EQ(set(i, "3 4 1 2 -5 Hello"), 11);
  EXPECT_EQ(P::str(i), "");
  EXPECT_EQ(set(i, "9 2 -2147483648 x"), 16);
  EXPECT_EQ(P::str(i), "");
  EXPECT_EQ(set(i, "3 -4 abc"), 5);
  EXPECT_EQ(P::str(i), "");
  EXPECT_EQ(P::count(i), -5);
  EXPECT_EQ(set(i, "9 -2147483648 x"), 14) << "the count's decrement must not overflow";
  EXPECT_EQ(set(i, "2 -1 "), 4);
  EXPECT_EQ(set(i, "3 4 1 2 2147483647 abc"), 0);
}

// A stream fed one byte at a time yields the same items as the whole text.
TEST(SetStream, ByteByByteEqualsWholeText) {
  std::mt19937 rng(42);
  std::string text;
  for (int n = 0; n < 400; ++n) {
    switch (rng() % 5) {
      case 0:
        text += "2 4 " + std::to_string(rng() % 2000) + " 5 -7 " + std::to_string(rng() % 2000) + " \n";
        break;
      case 1: {
        std::string s(rng() % 20, 'a' + rng() % 26);
        s += " x\ny";
        text += "3 4 1 2 " + std::to_string(s.size()) + " " + s;
        break;
      }
      case 2:
        text += "9 2 5 Arial";
        break;
      case 3:
        text += "13 5 100 100 50 0 90 ";
        break;
      default:
        text += "\t 7 1 " + std::to_string(rng() % 5) + " ";
        break;
    }
  }

  std::vector<zvItem> whole;
  {
    zvItem work;
    for (size_t pos = 0;;) {
      int used = work.Set(text.c_str() + pos);
      if (!used) break;
      whole.push_back(work);
      pos += used;
    }
  }

  std::vector<zvItem> trickled;
  std::string pending;
  zvItem work;
  for (char c : text) {
    pending += c;
    for (int used; (used = work.Set(pending.c_str())) > 0;) {
      trickled.push_back(work);
      pending.erase(0, used);
    }
  }
  ASSERT_EQ(whole.size(), trickled.size());
  EXPECT_EQ(whole.size(), 400u);
  for (size_t k = 0; k < whole.size(); ++k) {
    EXPECT_TRUE(whole[k] == trickled[k]) << k;
    EXPECT_EQ(P::count(whole[k]), P::count(trickled[k])) << k;
  }
}

// Set reads items without a string in one go and hands every other case to
// the item reader: for every prefix of awkward items, Set must give what the
// reader alone gives, fields and bytes taken alike.
TEST(SetStream, QuickPathAgreesWithTheReaderOnEveryPrefix) {
  const char* items[] = {
      "2 4 10 20 110 220 ",
      "20 4 a b c d ",
      "-2 +4 -0 7x 2147483648 -2147483649 ",
      "7 9 1 2 3 4 5 6 7 ",
      "6 -3 ",
      "3 -1 2 3 x ",
      "9 -2 5 Arial ",
      "3 0 1 2 3 ",
      "\t\n 11\n3 1\t2 3 ",
      "15 2 4294967295 99999999999 ",
      "3 4 1 2 3 abc ",
      "9 2 5 Arial ",
  };
  for (const char* text : items) {
    const std::string whole = text;
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
      const std::string prefix = whole.substr(0, cut);
      zvItem quick, slow;
      P::setArgs(quick, {9, 9, 9, 9, 9});
      P::setArgs(slow, {9, 9, 9, 9, 9});
      const int used = quick.Set(prefix.c_str());
      ItemReader reader;
      const int read = reader.Read(slow, prefix.c_str());
      SCOPED_TRACE(testing::Message() << '"' << prefix << '"');
      ASSERT_EQ(used, reader.Done() ? read : 0);
      if (!used) continue;
      EXPECT_EQ(P::func(quick), P::func(slow));
      EXPECT_EQ(P::count(quick), P::count(slow));
      EXPECT_EQ(P::args(quick), P::args(slow));
      EXPECT_EQ(P::str(quick), P::str(slow));
    }
  }
}
