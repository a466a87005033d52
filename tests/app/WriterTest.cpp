#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "examples/ZorvaWriter.h"
#include "tests/items/zvItemProbe.h"

namespace {

using P = zvItemProbe;
using Write = std::function<void(ZorvaWriter&)>;

// The bytes one writer call produces.
std::string written(const Write& write) {
  std::FILE* f = std::tmpfile();
  {
    ZorvaWriter z(f);
    write(z);
    EXPECT_TRUE(z.ok());
  }
  std::string bytes(static_cast<std::size_t>(std::ftell(f)), '\0');
  std::rewind(f);
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
  return bytes;
}

struct Expected {
  int kind;
  int count;  // as the parser stores it: text and font items without the string
  std::vector<int> args;
  std::string str;
};

// Cuts the bytes into items the way the display does and compares them.
void expectItems(const std::string& bytes, const std::vector<Expected>& expected) {
  std::size_t pos = 0, k = 0;
  zvItem item;
  while (bytes.find_first_not_of(" \n", pos) != std::string::npos) {
    const int used = item.Set(bytes.c_str() + pos);
    ASSERT_GT(used, 0) << "incomplete item at byte " << pos << " of\n" << bytes;
    ASSERT_LT(k, expected.size()) << bytes;
    const Expected& e = expected[k++];
    EXPECT_EQ(P::func(item), e.kind) << bytes;
    EXPECT_EQ(P::count(item), e.count) << bytes;
    for (std::size_t a = 0; a < e.args.size(); ++a) EXPECT_EQ(P::args(item)[a], e.args[a]) << bytes;
    if (e.kind == ZV_TEXT || e.kind == ZV_TEXT_FONT) {
      EXPECT_EQ(P::str(item), e.str) << bytes;
    }
    pos += static_cast<std::size_t>(used);
  }
  EXPECT_EQ(k, expected.size()) << bytes;
}

TEST(ZorvaWriter, EveryKindWritesItsTextFormAndReadsBack) {
  struct Case { Write write; std::string text; Expected item; };
  const Case cases[] = {
      {[](ZorvaWriter& z) { z.start(); }, "0 0 \n", {ZV_INIT, 0, {}, ""}},
      {[](ZorvaWriter& z) { z.exit(); }, "1 0 \n", {ZV_EXIT, 0, {}, ""}},
      {[](ZorvaWriter& z) { z.line(10, 20, 110, 220); }, "2 4 10 20 110 220 \n",
       {ZV_LINE, 4, {10, 20, 110, 220}, ""}},
      {[](ZorvaWriter& z) { z.text(10, 20, "Hello"); }, "3 4 10 20 5 Hello\n",
       {ZV_TEXT, 3, {10, 20, 5}, "Hello"}},
      {[](ZorvaWriter& z) { z.lineColor(255, 128, 0); }, "4 3 255 128 0 \n",
       {ZV_LINE_COLOR, 3, {255, 128, 0}, ""}},
      {[](ZorvaWriter& z) { z.textColor(1, 2, 3); }, "5 3 1 2 3 \n", {ZV_TEXT_COLOR, 3, {1, 2, 3}, ""}},
      {[](ZorvaWriter& z) { z.lineWidth(4); }, "6 1 4 \n", {ZV_LINE_WIDTH, 1, {4}, ""}},
      {[](ZorvaWriter& z) { z.lineType(ZorvaWriter::DashDot); }, "7 1 4 \n",
       {ZV_LINE_TYPE, 1, {4}, ""}},
      {[](ZorvaWriter& z) { z.textHeight(-24); }, "8 1 -24 \n", {ZV_TEXT_HEIGHT, 1, {-24}, ""}},
      {[](ZorvaWriter& z) { z.font("Arial"); }, "9 2 5 Arial\n", {ZV_TEXT_FONT, 1, {5}, "Arial"}},
      {[](ZorvaWriter& z) { z.textAlign(ZorvaWriter::Right); }, "10 1 3 \n",
       {ZV_TEXT_ALIGN, 1, {3}, ""}},
      {[](ZorvaWriter& z) { z.circle(400, 300, 50); }, "11 3 400 300 50 \n",
       {ZV_CIRCLE, 3, {400, 300, 50}, ""}},
      {[](ZorvaWriter& z) { z.clear(); }, "12 0 \n", {ZV_CLEAR, 0, {}, ""}},
      {[](ZorvaWriter& z) { z.arc(1, 2, 3, 0, 90); }, "13 5 1 2 3 0 90 \n",
       {ZV_ARC, 5, {1, 2, 3, 0, 90}, ""}},
      {[](ZorvaWriter& z) { z.polyline(-7, 8); }, "14 2 -7 8 \n", {ZV_POLYLINE, 2, {-7, 8}, ""}},
      {[](ZorvaWriter& z) { z.polyvertex(2147483647, -2147483647 - 1); },
       "15 2 2147483647 -2147483648 \n", {ZV_POLYVERTEX, 2, {2147483647, -2147483647 - 1}, ""}},
      {[](ZorvaWriter& z) { z.text(0, 0, ""); }, "3 4 0 0 0 \n", {ZV_TEXT, 3, {0, 0, 0}, ""}},
      {[](ZorvaWriter& z) { z.text(5, 6, " two\nlines \n"); }, "3 4 5 6 12  two\nlines \n\n",
       {ZV_TEXT, 3, {5, 6, 12}, " two\nlines \n"}},
  };
  for (const auto& c : cases) {
    const std::string bytes = written(c.write);
    EXPECT_EQ(bytes, c.text);
    expectItems(bytes, {c.item});
  }
}

TEST(ZorvaWriter, StringsAreCutWhereTheDisplayWouldStop) {
  const std::string a300(300, 'a');
  // 254 ASCII bytes and a two-byte character: the cut may not split it.
  const std::string utf8 = std::string(254, 'b') + "\xc3\xa9" + "tail";
  struct Case { std::string in; std::string out; };
  const Case cases[] = {
      {a300, a300.substr(0, 255)},
      {utf8, utf8.substr(0, 254)},
      {std::string("ab\0cd", 5), "ab"},
  };
  for (const auto& c : cases) {
    const std::string text = written([&](ZorvaWriter& z) { z.text(1, 2, c.in); });
    expectItems(text, {{ZV_TEXT, 3, {1, 2, int(c.out.size())}, c.out}});
    const std::string face = written([&](ZorvaWriter& z) { z.font(c.in); });
    expectItems(face, {{ZV_TEXT_FONT, 1, {int(c.out.size())}, c.out}});
  }
}

TEST(ZorvaWriter, APictureReadsBackItemByItem) {
  const std::string bytes = written([](ZorvaWriter& z) {
    z.start();
    z.font("Times New Roman");
    z.text(400, 300, "3 4 1 2 3 x");  // looks like an item, is a string
    z.polyline(0, 0);
    z.polyvertex(10, 10);
    z.clear();
    z.exit();
  });
  expectItems(bytes, {{ZV_INIT, 0, {}, ""},
                      {ZV_TEXT_FONT, 1, {15}, "Times New Roman"},
                      {ZV_TEXT, 3, {400, 300, 11}, "3 4 1 2 3 x"},
                      {ZV_POLYLINE, 2, {0, 0}, ""},
                      {ZV_POLYVERTEX, 2, {10, 10}, ""},
                      {ZV_CLEAR, 0, {}, ""},
                      {ZV_EXIT, 0, {}, ""}});
}

TEST(ZorvaWriter, EachItemIsInTheFileAsSoonAsItIsWritten) {
  char path[] = "/tmp/zorva-writer-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::FILE* reader = fdopen(fd, "rb");
  ZorvaWriter z{std::string(path)};
  auto fresh = [&] {
    std::string got;
    char buf[256];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, reader)) > 0) got.append(buf, n);
    std::clearerr(reader);
    return got;
  };
  z.line(1, 2, 3, 4);
  EXPECT_EQ(fresh(), "2 4 1 2 3 4 \n");
  z.font("Arial");
  EXPECT_EQ(fresh(), "9 2 5 Arial\n");
  EXPECT_TRUE(z.ok());
  std::fclose(reader);
  std::remove(path);

  ZorvaWriter missing(std::string("/nonexistent-dir/x.cmd"));
  missing.line(1, 2, 3, 4);
  EXPECT_FALSE(missing.ok());
}

}  // namespace
