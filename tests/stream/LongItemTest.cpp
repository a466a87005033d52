// Byte patterns that once stalled the stream for good: each must give the
// items that a buffer large enough for every item would give, however the
// client's writes cut it.
#include <random>

#include "tests/stream/ReferenceReader.h"
#include "tests/stream/StreamFixture.h"

namespace {

struct Pattern {
  const char* name;
  std::string bytes;
};

std::string utf8Text(int chars) {
  std::string s;
  for (int i = 0; i < chars; ++i) s += (i % 3 == 0) ? "\xC3\xA9" : "a";  // é and a
  return s;
}

std::vector<Pattern> patterns() {
  const std::string line = "2 4 10 20 110 220 ";
  const std::string text5000(5000, 't'), face3000(3000, 'f'), u = "aa" + utf8Text(400);
  return {
      {"newlines between items", line + std::string(1100, '\n') + "2 4 1 2 3 4 "},
      {"blanks and tabs between items",
       line + std::string(2500, ' ') + std::string(2500, '\t') + "2 4 1 2 3 4 "},
      {"NUL bytes", line + std::string("\0", 1) + "2 4 1 2 3 4 " + std::string(1500, '\0') +
                        std::string("3 4 1 1 3 a\0b ", 14)},
      {"leading zeros", line + "2 4 " + std::string(1100, '0') + "7 8 9 10 "},
      {"long token after the number", line + "2 4 12" + std::string(3000, 'z') + " 8 9 10 11 "},
      {"blanks between fields", "2 4 1" + std::string(3000, ' ') + "2 3 4 " + line},
      {"text of 5000 bytes", "3 4 5 6 5000 " + text5000 + line},
      {"font of 3000 bytes", "9 2 3000 " + face3000 + "3 4 1 1 2 hi" + line},
      {"UTF-8 text cut inside a character", "3 4 1 1 " + std::to_string(u.size()) + " " + u + line},
      {"Latin-1 text", "3 4 1 1 300 " + std::string(254, 'a') + std::string(46, '\xE9') + line},
      {"exit after a long item", "3 4 0 0 2000 " + std::string(2000, 'x') + "1 0 " + line},
  };
}

}  // namespace

class LongItemTest : public StreamTest, public ::testing::WithParamInterface<int> {};

TEST_P(LongItemTest, GivesEveryItemWhateverThePieces) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()));
  for (const Pattern& p : patterns()) {
    SCOPED_TRACE(p.name);
    TearDown();
    SetUp();
    const std::vector<RefItem> expected = ReferenceItems(p.bytes);
    // Whole at once (GetParam 0), or in random pieces with a step after each.
    for (std::size_t pos = 0; pos < p.bytes.size() && !host.closePosted;) {
      const std::size_t n =
          GetParam() == 0 ? p.bytes.size() : std::min<std::size_t>(1 + rng() % 1500, p.bytes.size() - pos);
      append(p.bytes.substr(pos, n));
      pos += n;
      tick();
    }
    tick();
    std::size_t stored = 0;
    for (const RefItem& item : expected)
      if (item.func != ZV_EXIT) ++stored;
    ASSERT_EQ(count(), static_cast<int>(stored));
    for (int i = 0; i < count(); ++i)
      EXPECT_TRUE(SameAsWritten(at(i), expected[static_cast<std::size_t>(i)])) << "item " << i;
    EXPECT_EQ(host.closePosted, !expected.empty() && expected.back().func == ZV_EXIT);
    EXPECT_LT(stream->Carried(), CommandStream::BufSize - 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Pieces, LongItemTest, ::testing::Values(0, 1, 2, 3));

TEST(ReferenceReader, CutsValidUtf8AtACharacterBoundaryOnly) {
  // 254 bytes of 'a', then é (two bytes) across the 255-byte cut.
  const std::string u = std::string(254, 'a') + "\xC3\xA9" + std::string(100, 'b');
  auto items = ReferenceItems("3 4 1 1 356 " + u + " ");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].str, std::string(254, 'a'));
  const std::string latin = std::string(254, 'a') + "\xC3\xE9" + std::string(100, 'b');
  items = ReferenceItems("3 4 1 1 356 " + latin + " ");
  EXPECT_EQ(items[0].str.size(), 255u) << "text that is not UTF-8 keeps 255 bytes";
}
