// Strings at the display's limit: where the library cuts them, and what it
// refuses.
#include <gtest/gtest.h>
#include <zorva/zorva.h>

#include <set>
#include <string>

#include "clients/c/tests/ClientTestSupport.h"

namespace {

using clienttest::written;

std::string textItem(const std::string& kept) {
  return "3 4 1 2 " + std::to_string(kept.size()) + " " + kept + "\n";
}

TEST(ClientStrings, LongStringsAreCutBeforeTheCharacterThatCrossesTheLimit) {
  const std::string euro = "\xe2\x82\xac", smile = "\xf0\x9f\x98\x80";
  struct Case {
    const char* what;
    std::string in;
    std::size_t kept;
    int result;
  };
  const Case cases[] = {
      {"exactly the limit", std::string(255, 'x'), 255, ZORVA_OK},
      {"one byte over", std::string(256, 'x'), 255, ZORVA_CUT},
      {"three-byte character across the limit", std::string(253, 'x') + euro + "y", 253, ZORVA_CUT},
      {"four-byte character across the limit", std::string(252, 'x') + smile + "y", 252, ZORVA_CUT},
      {"four-byte character ending at the limit", std::string(251, 'x') + smile + "y", 255, ZORVA_CUT},
      {"a long text of two-byte characters",
       [] {
         std::string s;
         for (int i = 0; i < 200; ++i) s += "\xc3\xa9";
         return s;
       }(),
       254, ZORVA_CUT},
  };
  for (const auto& c : cases) {
    std::string bytes =
        written([&](zorva* z) { return zorva_textn(z, 1, 2, c.in.data(), c.in.size()); }, c.result);
    EXPECT_EQ(bytes, textItem(c.in.substr(0, c.kept))) << c.what;
  }
}

// Text that is not UTF-8 shows one character a byte: the limit is a
// character boundary whatever byte stands there.
TEST(ClientStrings, TextThatIsNotUtf8IsCutAtTheLimit) {
  const std::string across = std::string(254, 'x') + "\xc3\xa9";
  struct Case {
    const char* what;
    std::string in;
  };
  const Case cases[] = {
      {"a stray continuation byte", "\x80" + across},
      {"a byte no UTF-8 text holds", "\xff" + across},
      {"a surrogate", "\xed\xa0\x80" + across},
      {"an overlong form", "\xc0\xaf" + across},
      {"a character cut off at the end", across + "\xe2\x82"},
  };
  for (const auto& c : cases) {
    std::string bytes =
        written([&](zorva* z) { return zorva_textn(z, 1, 2, c.in.data(), c.in.size()); }, ZORVA_CUT);
    EXPECT_EQ(bytes, textItem(c.in.substr(0, 255))) << c.what;
  }
}

TEST(ClientStrings, ACutIsReportedAndTheHandleGoesOn) {
  clienttest::ScratchDir dir;
  zorva* z = clienttest::openWithoutDisplay(dir / "cut.zv");
  EXPECT_EQ(zorva_font(z, std::string(300, 'f').c_str()), ZORVA_CUT);
  EXPECT_EQ(std::string(zorva_errmsg(z)), "the font item's string was cut from 300 to 255 bytes");
  EXPECT_EQ(zorva_failed(z), 0);
  EXPECT_EQ(zorva_line(z, 1, 2, 3, 4), ZORVA_OK);
  zorva_close(z, ZORVA_LEAVE_OPEN);
}

TEST(ClientStrings, RefusedStringsWriteNothingAndLeaveTheHandleUsable) {
  clienttest::ScratchDir dir;
  const std::string file = dir / "refused.zv";
  zorva* z = clienttest::openWithoutDisplay(file);
  EXPECT_EQ(zorva_textn(z, 1, 2, "a\0b", 3), ZORVA_EINVAL);
  EXPECT_EQ(std::string(zorva_errmsg(z)), "the text item's string holds a NUL byte at offset 1");
  EXPECT_EQ(zorva_text(z, 1, 2, nullptr), ZORVA_EINVAL);
  EXPECT_EQ(zorva_font(z, nullptr), ZORVA_EINVAL);
  EXPECT_EQ(std::string(zorva_errmsg(z)), "the font item's string is a null pointer");
  EXPECT_EQ(zorva_failed(z), 0);
  EXPECT_EQ(zorva_text(z, 1, 2, "ok"), ZORVA_OK);
  zorva_close(z, ZORVA_LEAVE_OPEN);
  EXPECT_EQ(clienttest::readFile(file), "3 4 1 2 2 ok\n");
}

TEST(ClientStrings, EveryStatusHasItsOwnDescription) {
  std::set<std::string> seen;
  for (int s = ZORVA_ENOMEM; s <= ZORVA_CUT; ++s) EXPECT_TRUE(seen.insert(zorva_strerror(s)).second) << s;
  EXPECT_EQ(std::string(zorva_strerror(42)), "unknown status");
  EXPECT_EQ(std::string(zorva_errmsg(nullptr)), "out of memory");
  EXPECT_EQ(zorva_line(nullptr, 1, 2, 3, 4), ZORVA_EINVAL);
  EXPECT_EQ(zorva_text(nullptr, 1, 2, "x"), ZORVA_EINVAL);
  EXPECT_EQ(zorva_close(nullptr, ZORVA_EXIT), ZORVA_OK);
}

}  // namespace
