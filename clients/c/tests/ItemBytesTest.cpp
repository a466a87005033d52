// The bytes of every item kind, written through the client library and read
// back by the display's own item parser. The expected texts are those the
// example writer that the library replaces wrote for the same calls.
#include <gtest/gtest.h>
#include <zorva/zorva.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "clients/c/tests/ClientTestSupport.h"
#include "clients/c/tests/shared_picture.h"
#include "tests/items/zvItemProbe.h"

namespace {

using P = zvItemProbe;
using Write = std::function<int(zorva*)>;
using clienttest::readFile;
using clienttest::ScratchDir;
using clienttest::written;

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

TEST(ClientItems, EveryKindWritesItsTextFormAndReadsBack) {
  struct Case {
    Write write;
    std::string text;
    Expected item;
  };
  const Case cases[] = {
      {[](zorva* z) { return zorva_start(z); }, "0 0 \n", {ZV_INIT, 0, {}, ""}},
      {[](zorva* z) { return zorva_exit(z); }, "1 0 \n", {ZV_EXIT, 0, {}, ""}},
      {[](zorva* z) { return zorva_line(z, 10, 20, 110, 220); },
       "2 4 10 20 110 220 \n",
       {ZV_LINE, 4, {10, 20, 110, 220}, ""}},
      {[](zorva* z) { return zorva_text(z, 10, 20, "Hello"); },
       "3 4 10 20 5 Hello\n",
       {ZV_TEXT, 3, {10, 20, 5}, "Hello"}},
      {[](zorva* z) { return zorva_line_color(z, 255, 128, 0); },
       "4 3 255 128 0 \n",
       {ZV_LINE_COLOR, 3, {255, 128, 0}, ""}},
      {[](zorva* z) { return zorva_text_color(z, 1, 2, 3); },
       "5 3 1 2 3 \n",
       {ZV_TEXT_COLOR, 3, {1, 2, 3}, ""}},
      {[](zorva* z) { return zorva_line_width(z, 4); }, "6 1 4 \n", {ZV_LINE_WIDTH, 1, {4}, ""}},
      {[](zorva* z) { return zorva_line_type(z, ZORVA_DASH_DOT); }, "7 1 4 \n", {ZV_LINE_TYPE, 1, {4}, ""}},
      {[](zorva* z) { return zorva_text_height(z, -24); }, "8 1 -24 \n", {ZV_TEXT_HEIGHT, 1, {-24}, ""}},
      {[](zorva* z) { return zorva_font(z, "Arial"); }, "9 2 5 Arial\n", {ZV_TEXT_FONT, 1, {5}, "Arial"}},
      {[](zorva* z) { return zorva_text_align(z, ZORVA_RIGHT); }, "10 1 3 \n", {ZV_TEXT_ALIGN, 1, {3}, ""}},
      {[](zorva* z) { return zorva_circle(z, 400, 300, 50); },
       "11 3 400 300 50 \n",
       {ZV_CIRCLE, 3, {400, 300, 50}, ""}},
      {[](zorva* z) { return zorva_clear(z); }, "12 0 \n", {ZV_CLEAR, 0, {}, ""}},
      {[](zorva* z) { return zorva_arc(z, 1, 2, 3, 0, 90); },
       "13 5 1 2 3 0 90 \n",
       {ZV_ARC, 5, {1, 2, 3, 0, 90}, ""}},
      {[](zorva* z) { return zorva_polyline(z, -7, 8); }, "14 2 -7 8 \n", {ZV_POLYLINE, 2, {-7, 8}, ""}},
      {[](zorva* z) { return zorva_polyvertex(z, 2147483647, -2147483647 - 1); },
       "15 2 2147483647 -2147483648 \n",
       {ZV_POLYVERTEX, 2, {2147483647, -2147483647 - 1}, ""}},
      {[](zorva* z) { return zorva_text(z, 0, 0, ""); }, "3 4 0 0 0 \n", {ZV_TEXT, 3, {0, 0, 0}, ""}},
      {[](zorva* z) { return zorva_text(z, 5, 6, " two\nlines \n"); },
       "3 4 5 6 12  two\nlines \n\n",
       {ZV_TEXT, 3, {5, 6, 12}, " two\nlines \n"}},
  };
  for (const auto& c : cases) {
    const std::string bytes = written(c.write);
    EXPECT_EQ(bytes, c.text);
    expectItems(bytes, {c.item});
  }
}

TEST(ClientItems, StringsAreCutWhereTheDisplayWouldStop) {
  const std::string a300(300, 'a');
  // 254 ASCII bytes and a two-byte character: the cut may not split it.
  const std::string utf8 = std::string(254, 'b') + "\xc3\xa9" + "tail";
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {a300, a300.substr(0, 255)},
      {utf8, utf8.substr(0, 254)},
  };
  for (const auto& c : cases) {
    const std::string text =
        written([&](zorva* z) { return zorva_textn(z, 1, 2, c.in.data(), c.in.size()); }, ZORVA_CUT);
    expectItems(text, {{ZV_TEXT, 3, {1, 2, int(c.out.size())}, c.out}});
    const std::string face =
        written([&](zorva* z) { return zorva_fontn(z, c.in.data(), c.in.size()); }, ZORVA_CUT);
    expectItems(face, {{ZV_TEXT_FONT, 1, {int(c.out.size())}, c.out}});
  }
  // A NUL byte would end the display's text inside the item, which would
  // then never complete: such a string is refused, and nothing is written.
  const std::string nul("ab\0cd", 5);
  EXPECT_EQ(written([&](zorva* z) { return zorva_textn(z, 1, 2, nul.data(), nul.size()); }, ZORVA_EINVAL),
            "");
  EXPECT_EQ(written([&](zorva* z) { return zorva_fontn(z, nul.data(), nul.size()); }, ZORVA_EINVAL), "");
}

TEST(ClientItems, APictureReadsBackItemByItem) {
  const std::string bytes = written([](zorva* z) {
    zorva_start(z);
    zorva_font(z, "Times New Roman");
    zorva_text(z, 400, 300, "3 4 1 2 3 x");  // looks like an item, is a string
    zorva_polyline(z, 0, 0);
    zorva_polyvertex(z, 10, 10);
    zorva_clear(z);
    return zorva_exit(z);
  });
  expectItems(bytes, {{ZV_INIT, 0, {}, ""},
                      {ZV_TEXT_FONT, 1, {15}, "Times New Roman"},
                      {ZV_TEXT, 3, {400, 300, 11}, "3 4 1 2 3 x"},
                      {ZV_POLYLINE, 2, {0, 0}, ""},
                      {ZV_POLYVERTEX, 2, {10, 10}, ""},
                      {ZV_CLEAR, 0, {}, ""},
                      {ZV_EXIT, 0, {}, ""}});
}

TEST(ClientItems, EachItemIsInTheFileAsSoonAsItIsWritten) {
  ScratchDir dir;
  const std::string path = dir / "live.zv";
  zorva* z = clienttest::openWithoutDisplay(path);
  std::FILE* reader = std::fopen(path.c_str(), "rb");
  ASSERT_NE(reader, nullptr);
  auto fresh = [&] {
    std::string got;
    char buf[256];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, reader)) > 0) got.append(buf, n);
    std::clearerr(reader);
    return got;
  };
  EXPECT_EQ(zorva_line(z, 1, 2, 3, 4), ZORVA_OK);
  EXPECT_EQ(fresh(), "2 4 1 2 3 4 \n");
  EXPECT_EQ(zorva_font(z, "Arial"), ZORVA_OK);
  EXPECT_EQ(fresh(), "9 2 5 Arial\n");
  EXPECT_EQ(zorva_failed(z), 0);
  std::fclose(reader);
  zorva_close(z, ZORVA_LEAVE_OPEN);

  // A file that cannot be made fails the open; the handle says why and
  // refuses every item.
  zorva_options options{};
  options.flags = ZORVA_NO_LAUNCH;
  zorva* missing = nullptr;
  EXPECT_EQ(zorva_open(&missing, "/nonexistent-dir/x.cmd", &options), ZORVA_EFILE);
  EXPECT_NE(std::string(zorva_errmsg(missing)).find("/nonexistent-dir/x.cmd"), std::string::npos)
      << zorva_errmsg(missing);
  EXPECT_EQ(zorva_line(missing, 1, 2, 3, 4), ZORVA_EFAILED);
  EXPECT_EQ(zorva_close(missing, ZORVA_EXIT), ZORVA_EFAILED);
}

// The picture that the end-to-end tests draw from C and from Python: the
// library writes it byte for byte as the example writer did.
TEST(ClientItems, TheSharedPictureHasTheWritersBytes) {
  const std::string bytes = written([](zorva* z) { return draw_shared_picture(z); });
  EXPECT_EQ(bytes, readFile(ZORVA_SOURCE_DIR "/tests/e2e/client/picture.zv"));
}

}  // namespace
