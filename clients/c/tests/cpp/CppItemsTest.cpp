// The bytes the C++ interface writes: every case of the shared byte table
// (clients/tests/item_bytes.txt) through its methods, cut and refused
// strings, and the shared picture.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>
#include <zorva/zorva.hpp>

#include "clients/c/tests/ClientTestSupport.h"
#include "clients/c/tests/shared_picture.hpp"
#include "clients/tests/ItemBytesCases.h"

namespace {

using clienttest::readFile;
using clienttest::ScratchDir;

Zorva::Options noLaunch() {
  Zorva::Options options;
  options.launch = false;
  return options;
}

// The bytes that `draw` writes through a fresh Display without a display.
std::string written(const std::function<void(Zorva::Display&)>& draw) {
  ScratchDir dir;
  const std::string file = dir / "items.zv";
  {
    Zorva::Display d = Zorva::Display::open(file, noLaunch());
    draw(d);
  }
  return readFile(file);
}

// The C++ call of each kind, given a case's integers and string. text() and
// font() must report the string whole.
using Call = std::function<void(Zorva::Display&, const std::vector<int>&, const std::string&)>;
const std::map<std::string, Call>& calls() {
  using D = Zorva::Display;
  using A = std::vector<int>;
  using S = std::string;
  static const std::map<std::string, Call> table = {
      {"start", [](D& d, const A&, const S&) { d.start(); }},
      {"exit", [](D& d, const A&, const S&) { d.exit(); }},
      {"clear", [](D& d, const A&, const S&) { d.clear(); }},
      {"line", [](D& d, const A& a, const S&) { d.line(a[0], a[1], a[2], a[3]); }},
      {"text", [](D& d, const A& a, const S& s) { EXPECT_TRUE(d.text(a[0], a[1], s)); }},
      {"circle", [](D& d, const A& a, const S&) { d.circle(a[0], a[1], a[2]); }},
      {"arc", [](D& d, const A& a, const S&) { d.arc(a[0], a[1], a[2], a[3], a[4]); }},
      {"polyline", [](D& d, const A& a, const S&) { d.polyline(a[0], a[1]); }},
      {"polyvertex", [](D& d, const A& a, const S&) { d.polyvertex(a[0], a[1]); }},
      {"line_color", [](D& d, const A& a, const S&) { d.line_color(a[0], a[1], a[2]); }},
      {"text_color", [](D& d, const A& a, const S&) { d.text_color(a[0], a[1], a[2]); }},
      {"line_width", [](D& d, const A& a, const S&) { d.line_width(a[0]); }},
      {"line_type", [](D& d, const A& a, const S&) { d.line_type(static_cast<Zorva::LineType>(a[0])); }},
      {"text_height", [](D& d, const A& a, const S&) { d.text_height(a[0]); }},
      {"font", [](D& d, const A&, const S& s) { EXPECT_TRUE(d.font(s)); }},
      {"text_align", [](D& d, const A& a, const S&) { d.text_align(static_cast<Zorva::Align>(a[0])); }},
  };
  return table;
}

TEST(CppItems, EveryCaseWritesItsBytes) {
  for (const itembytes::Case& c : itembytes::readCases()) {
    SCOPED_TRACE("item_bytes.txt line " + std::to_string(c.line));
    const auto call = calls().find(c.call);
    ASSERT_TRUE(call != calls().end()) << "no C++ call for " << c.call;
    std::vector<int> args = c.ints;
    args.resize(5);
    EXPECT_EQ(written([&](Zorva::Display& d) { call->second(d, args, c.str.value_or("")); }), c.bytes);
  }
}

// The error-code overloads write the same bytes as the throwing ones.
TEST(CppItems, TheErrorCodeOverloadsWriteTheSameBytes) {
  std::error_code ec = Zorva::Status::write;  // a call that succeeds clears it
  const std::string bytes = written([&](Zorva::Display& d) {
    d.start(ec);
    d.line_color(1, 2, 3, ec);
    d.line(1, 2, 3, 4, ec);
    d.circle(5, 6, 7, ec);
    d.arc(1, 2, 3, 0, 90, ec);
    d.polyline(1, 2, ec);
    d.polyvertex(3, 4, ec);
    d.text_color(4, 5, 6, ec);
    d.line_width(2, ec);
    d.line_type(Zorva::LineType::dash_dot, ec);
    d.text_height(20, ec);
    d.text_align(Zorva::Align::right, ec);
    d.clear(ec);
    d.exit(ec);
    EXPECT_TRUE(d.font("Arial", ec));
    EXPECT_TRUE(d.text(1, 2, "hi", ec));
  });
  EXPECT_FALSE(ec) << ec.message();
  EXPECT_EQ(bytes,
            "0 0 \n4 3 1 2 3 \n2 4 1 2 3 4 \n11 3 5 6 7 \n13 5 1 2 3 0 90 \n14 2 1 2 \n15 2 3 4 \n"
            "5 3 4 5 6 \n6 1 2 \n7 1 4 \n8 1 20 \n10 1 3 \n12 0 \n1 0 \n9 2 5 Arial\n3 4 1 2 2 hi\n");
}

// A string too long for the display is cut, and the call says so with
// false, not with an error; an empty string is a string like any other.
TEST(CppItems, ACutStringReturnsFalse) {
  const std::string long300(300, 'a');
  std::error_code ec;
  const std::string bytes = written([&](Zorva::Display& d) {
    EXPECT_FALSE(d.text(1, 2, long300));
    EXPECT_FALSE(d.font(long300, ec));
    EXPECT_FALSE(ec);
    EXPECT_TRUE(d.text(3, 4, std::string_view()));
    EXPECT_TRUE(d.font(""));
  });
  const std::string cut = long300.substr(0, 255);
  EXPECT_EQ(bytes, "3 4 1 2 255 " + cut + "\n9 2 255 " + cut + "\n3 4 3 4 0 \n9 2 0 \n");
}

// A NUL byte inside a string would end the display's text inside the item:
// refused, nothing written, and the handle goes on.
TEST(CppItems, ANulByteIsRefusedAndTheHandleGoesOn) {
  const std::string nul("ab\0cd", 5);
  const std::string bytes = written([&](Zorva::Display& d) {
    try {
      d.text(1, 2, nul);
      ADD_FAILURE() << "no exception";
    } catch (const Zorva::Error& e) {
      EXPECT_EQ(e.status(), Zorva::Status::invalid);
      EXPECT_EQ(e.code(), Zorva::Status::invalid);
      EXPECT_STREQ(e.what(), "the text item's string holds a NUL byte at offset 2");
    }
    std::error_code ec;
    EXPECT_FALSE(d.font(nul, ec));
    EXPECT_EQ(ec, Zorva::Status::invalid);
    EXPECT_FALSE(d.failed());
    d.start();
  });
  EXPECT_EQ(bytes, "0 0 \n");
}

TEST(CppItems, TheSharedPictureHasTheWritersBytes) {
  EXPECT_EQ(written(drawSharedPicture), readFile(ZORVA_SOURCE_DIR "/tests/e2e/client/picture.zv"));
}

}  // namespace
