#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/report/MessageBox.h"
#include "tests/items/zvItemProbe.h"

namespace {

struct Box {
  std::string text;
  std::string caption;
  unsigned style;
  bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
  os << '{';
  for (char c : b.text) {
    if (c == '\n')
      os << "\\n";
    else if (c == '\r')
      os << "\\r";
    else
      os << c;
  }
  return os << " | " << b.caption << " | " << b.style << '}';
}

// Records every box the dump shows, answering OK.
class DumpTest : public ::testing::Test {
protected:
  void SetUp() override {
    previous = SetMessagePresenter([this](const std::string& t, const std::string& c, unsigned s) {
      boxes.push_back({t, c, s});
      return IDOK;
    });
  }
  void TearDown() override { SetMessagePresenter(previous); }

  // By reference: a copy would not carry the slots beyond the count.
  std::vector<Box> dump(zvItem& item) {
    boxes.clear();
    item.debugDisp();
    return boxes;
  }
  std::vector<Box> dump(zvItem&& item) { return dump(item); }

  static zvItem make(int kind, std::array<int, 5> a, const char* s = "") {
    zvItem item(kind, 5, a.data(), s);
    return item;
  }

  std::vector<Box> boxes;
  MessagePresenter previous;
};

std::vector<Box> debug(std::vector<std::string> texts) {
  std::vector<Box> out;
  for (auto& t : texts) out.push_back({t, "DEBUG", 0});
  return out;
}

TEST_F(DumpTest, OneBoxKinds) {
  struct Case {
    zvItem item;
    std::vector<Box> boxes;
  };
  Case cases[] = {
      {make(ZV_LINE, {10, 20, 110, 220, 0}), debug({"  - LINE -\n  Points: (10,20) -> (110,220)\n"})},
      {make(ZV_TEXT, {10, 20, 5, 0, 0}, "Hello"),
       debug({"  - TEXT -\n  Point: (10,20) len: 5 text: XHelloX\n\r"})},
      {make(ZV_LINE_COLOR, {255, 128, 0, 0, 0}),
       debug({"  - LINE COLOR -\n  Red: 255  Green: 128  Blue: 0\n\r"})},
      {make(ZV_TEXT_COLOR, {1, -2, 300, 0, 0}),
       debug({"  - TEXT COLOR -\n  Red: 1  Green: -2  Blue: 300\n\r"})},
      {make(ZV_LINE_WIDTH, {3, 0, 0, 0, 0}), debug({"  - LINE WIDTH -\n  Width: 3\n\r"})},
      {make(ZV_TEXT_FONT, {5, 0, 0, 0, 0}, "Arial"), debug({"  - TEXT FONT -\n  Font: XArialX\n\r"})},
      {make(ZV_CIRCLE, {400, 300, -50, 0, 0}), debug({"  - CIRCLE -\n  Center: (400,300)  Radius: -50\n\r"})},
      {make(ZV_ARC, {100, 200, 30, 0, 90}),
       debug({"  - ARC -\n  Center: (100,200)  Radius: 30 Begin angle: 0.000000  "
              "End angle: 90.000000\n\r"})},
      {make(ZV_ARC, {0, 0, 0, -2147483647 - 1, 2147483647}),
       debug({"  - ARC -\n  Center: (0,0)  Radius: 0 Begin angle: -2147483648.000000  "
              "End angle: 2147483647.000000\n\r"})},
      {make(ZV_POLYLINE, {-7, 8, 0, 0, 0}), debug({"  - POLYLINE -\n  Begin: (-7,8)\n\r"})},
      {make(ZV_POLYVERTEX, {2147483647, -2147483647 - 1, 0, 0, 0}),
       debug({"  - POLYVERTEX -\n  Point: (2147483647,-2147483648)\n\r"})},
  };
  for (auto& c : cases) EXPECT_EQ(dump(c.item), c.boxes) << "kind " << c.item.GetFunc();
}

TEST_F(DumpTest, TypeAndAlignmentShowAHeaderThenTheKnownValue) {
  struct Case {
    int kind;
    int value;
    std::vector<Box> boxes;
  };
  const char* type = "  - LINE TYPE -\n\r";
  const char* align = "  - PORAVNAVA TEXTA -\n\r";
  const Case cases[] = {
      {ZV_LINE_TYPE, 1, debug({type, "  Type: 1 - SOLID\n\r"})},
      {ZV_LINE_TYPE, 2, debug({type, "  Type: 2 - DASHED\n\r"})},
      {ZV_LINE_TYPE, 3, debug({type, "  Type: 3 - DOTTED\n\r"})},
      {ZV_LINE_TYPE, 4, debug({type, "  Type: 4 - DASH-DOT\n\r"})},
      {ZV_LINE_TYPE, 0, debug({type})},
      {ZV_LINE_TYPE, 5, debug({type})},
      {ZV_LINE_TYPE, 7, debug({type})},
      {ZV_LINE_TYPE, -1, debug({type})},
      {ZV_TEXT_ALIGN, 1, debug({align, "  Poravnava: 1 - LEFT\n\r"})},
      {ZV_TEXT_ALIGN, 2, debug({align, "  Poravnava: 2 - CENTER\n\r"})},
      {ZV_TEXT_ALIGN, 3, debug({align, "  Poravnava: 3 - RIGHT\n\r"})},
      {ZV_TEXT_ALIGN, 0, debug({align})},
      {ZV_TEXT_ALIGN, 4, debug({align})},
  };
  for (const auto& c : cases)
    EXPECT_EQ(dump(make(c.kind, {c.value, 9, 9, 9, 9})), c.boxes)
        << "kind " << c.kind << " value " << c.value;
}

TEST_F(DumpTest, ControlAndUnknownKindsShowNothing) {
  for (int kind :
       std::initializer_list<int>{ZV_INIT, ZV_EXIT, ZV_CLEAR, 16, 99, -1, -2147483647 - 1, 2147483647})
    EXPECT_TRUE(dump(make(kind, {1, 2, 3, 4, 5}, "x")).empty()) << "kind " << kind;
}

TEST_F(DumpTest, TextHeightShowsTheAddressOfTheFirstArgumentSlot) {
  zvItem item = make(ZV_TEXT_HEIGHT, {24, 0, 0, 0, 0});
  boxes.clear();
  item.debugDisp();
  ASSERT_EQ(boxes.size(), 1u);
  const std::string head = "  - TEXT HEIGHT -\n  Height: 24\n  Pointer: ";
  ASSERT_EQ(boxes[0].text.substr(0, head.size()), head);
  void* shown = nullptr;
  int used = 0;
  const char* rest = boxes[0].text.c_str() + head.size();
  ASSERT_EQ(std::sscanf(rest, "%p%n", &shown, &used), 1);
  EXPECT_STREQ(rest + used, "\n\r");
  // The slots follow the kind and the count, two 32-bit fields.
  EXPECT_EQ(static_cast<char*>(shown), reinterpret_cast<char*>(&item) + 2 * sizeof(std::int32_t));
  EXPECT_EQ(boxes[0].caption, "DEBUG");
  EXPECT_EQ(boxes[0].style, 0u);
}

TEST_F(DumpTest, SlotsBeyondTheCountAreShownToo) {
  // A line item read with count 2 still carries the previous item's slots 3
  // and 4; the dump shows whatever the slots hold.
  zvItem item;
  ASSERT_GT(item.Set("2 4 1 2 3 4 "), 0);
  ASSERT_GT(item.Set("2 2 5 6 "), 0);
  EXPECT_EQ(dump(item), debug({"  - LINE -\n  Points: (5,6) -> (3,4)\n"}));
}

TEST_F(DumpTest, LongTextIsCutAtTheBufferEnd) {
  const std::string head = "  - TEXT -\n  Point: (1,2) len: 255 text: X";
  struct Case {
    std::string str;
    std::string expected;
  };
  const std::string s255(255, 'a');
  const std::string fits(256 - head.size() - 4, 'b');  // "X\n\r" and NUL fill it exactly
  const Case cases[] = {
      {s255, (head + s255).substr(0, 255)},
      {fits, head + fits + "X\n\r"},
      {fits + "c", (head + fits + "cX\n").substr(0, 255)},
  };
  for (const auto& c : cases) {
    auto shown = dump(make(ZV_TEXT, {1, 2, 255, 0, 0}, c.str.c_str()));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, c.expected);
    EXPECT_LE(shown[0].text.size(), 255u);
  }
}

}  // namespace
