// The bytes the client library writes for each call, and the display's own
// item reader reading them back. The calls and their bytes are the shared
// byte cases (clients/tests/item_bytes.txt) that the Python client's test
// runs too.
#include <gtest/gtest.h>
#include <zorva/zorva.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "clients/c/tests/ClientTestSupport.h"
#include "clients/c/tests/shared_picture.h"
#include "clients/tests/ItemBytesCases.h"
#include "tests/items/zvItemProbe.h"

namespace {

using P = zvItemProbe;
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

// The C call of each kind, given a case's arguments.
using Call = std::function<int(zorva*, const std::vector<int>&, const char*)>;
const std::map<std::string, Call>& calls() {
  static const std::map<std::string, Call> table = {
      {"start", [](zorva* z, const auto&, const char*) { return zorva_start(z); }},
      {"exit", [](zorva* z, const auto&, const char*) { return zorva_exit(z); }},
      {"clear", [](zorva* z, const auto&, const char*) { return zorva_clear(z); }},
      {"line", [](zorva* z, const auto& a, const char*) { return zorva_line(z, a[0], a[1], a[2], a[3]); }},
      {"text", [](zorva* z, const auto& a, const char* s) { return zorva_text(z, a[0], a[1], s); }},
      {"circle", [](zorva* z, const auto& a, const char*) { return zorva_circle(z, a[0], a[1], a[2]); }},
      {"arc",
       [](zorva* z, const auto& a, const char*) { return zorva_arc(z, a[0], a[1], a[2], a[3], a[4]); }},
      {"polyline", [](zorva* z, const auto& a, const char*) { return zorva_polyline(z, a[0], a[1]); }},
      {"polyvertex", [](zorva* z, const auto& a, const char*) { return zorva_polyvertex(z, a[0], a[1]); }},
      {"line_color",
       [](zorva* z, const auto& a, const char*) { return zorva_line_color(z, a[0], a[1], a[2]); }},
      {"text_color",
       [](zorva* z, const auto& a, const char*) { return zorva_text_color(z, a[0], a[1], a[2]); }},
      {"line_width", [](zorva* z, const auto& a, const char*) { return zorva_line_width(z, a[0]); }},
      {"line_type", [](zorva* z, const auto& a, const char*) { return zorva_line_type(z, a[0]); }},
      {"text_height", [](zorva* z, const auto& a, const char*) { return zorva_text_height(z, a[0]); }},
      {"font", [](zorva* z, const auto&, const char* s) { return zorva_font(z, s); }},
      {"text_align", [](zorva* z, const auto& a, const char*) { return zorva_text_align(z, a[0]); }},
  };
  return table;
}

const ItemKind* kindOfCall(const std::string& call) {
  for (const ItemKind& k : itemKinds)
    if (k.call == call) return &k;
  return nullptr;
}

// Every case of the shared byte table: the call writes exactly its bytes,
// and the display reads them back as the item of the call's kind with the
// call's arguments (a string's length as the last one).
TEST(ClientItems, EveryCaseWritesItsBytesAndReadsBack) {
  for (const itembytes::Case& c : itembytes::readCases()) {
    SCOPED_TRACE("item_bytes.txt line " + std::to_string(c.line));
    const auto call = calls().find(c.call);
    const ItemKind* kind = kindOfCall(c.call);
    ASSERT_TRUE(call != calls().end() && kind) << "no C call or kind for " << c.call;
    std::vector<int> args = c.ints;
    args.resize(5);  // a case with too few arguments fails below, never reads past them
    const std::string bytes =
        written([&](zorva* z) { return call->second(z, args, c.str ? c.str->c_str() : nullptr); });
    EXPECT_EQ(bytes, c.bytes);
    Expected item{kind->code, kind->intArgs(), c.ints, c.str.value_or("")};
    if (c.str) item.args.push_back(static_cast<int>(c.str->size()));
    expectItems(bytes, {item});
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
// library writes exactly the bytes those tests expect.
TEST(ClientItems, TheSharedPictureHasTheWritersBytes) {
  const std::string bytes = written([](zorva* z) { return draw_shared_picture(z); });
  EXPECT_EQ(bytes, readFile(ZORVA_SOURCE_DIR "/tests/e2e/client/picture.zv"));
}

}  // namespace
