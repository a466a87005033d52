#pragma once
// The item kinds of the command file, one row each, in code order. The ZV_
// constants and the reader's string rule are made from this table; the
// dump, the rendering, the client libraries (their calls, constants and
// byte cases) and the manual page are checked against it by
// tests/items/KindTableTest.cpp and tests/items/KindSourcesTest.cpp. A new
// kind starts here; a new control kind also needs its action in
// CommandStream::TakeItem (stream/), since every other kind is stored and
// drawn there.

#include <cstddef>
#include <cstdint>
#include <string_view>

// X(code, constant, class, integer arguments, string, client call)
//   integer arguments: their names in the order they stand in the command
//     file and in zvItem::args, separated by one blank. A kind with a string
//     has the string's length in bytes as its last integer argument,
//     "length".
//   string: whether a length-counted string follows the last integer
//     argument; it counts as one more argument in the file's count.
//   client call: zorva_<call> in the C library (zorva_<call>n for the
//     counted form of a string kind), Display.<call> and Kind.<CALL> in the
//     Python library, the kind's name in the manual page.
#define ZV_ITEM_KINDS(X)                                                       \
  X(0, ZV_INIT, Control, "", false, "start")                                   \
  X(1, ZV_EXIT, Control, "", false, "exit")                                    \
  X(2, ZV_LINE, Drawing, "x1 y1 x2 y2", false, "line")                         \
  X(3, ZV_TEXT, Drawing, "x y length", true, "text")                           \
  X(4, ZV_LINE_COLOR, Attribute, "red green blue", false, "line_color")        \
  X(5, ZV_TEXT_COLOR, Attribute, "red green blue", false, "text_color")        \
  X(6, ZV_LINE_WIDTH, Attribute, "width", false, "line_width")                 \
  X(7, ZV_LINE_TYPE, Attribute, "type", false, "line_type")                    \
  X(8, ZV_TEXT_HEIGHT, Attribute, "height", false, "text_height")              \
  X(9, ZV_TEXT_FONT, Attribute, "length", true, "font")                        \
  X(10, ZV_TEXT_ALIGN, Attribute, "align", false, "text_align")                \
  X(11, ZV_CIRCLE, Drawing, "x y radius", false, "circle")                     \
  X(12, ZV_CLEAR, Control, "", false, "clear")                                 \
  X(13, ZV_ARC, Drawing, "x y radius begin_degrees end_degrees", false, "arc") \
  X(14, ZV_POLYLINE, Drawing, "x y", false, "polyline")                        \
  X(15, ZV_POLYVERTEX, Drawing, "x y", false, "polyvertex")

// Item kinds, as the client libraries write them into the command file.
enum : int {
#define ZV_KIND_CONSTANT(code, constant, cls, args, str, call) constant = code,
  ZV_ITEM_KINDS(ZV_KIND_CONSTANT)
#undef ZV_KIND_CONSTANT
};

// Control items act on the display list as they are read and are never
// stored; attribute items set a drawing attribute; drawing items draw.
enum class ItemClass : std::uint8_t { Control, Attribute, Drawing };

struct ItemKind {
  int code;
  std::string_view constant;  // "ZV_LINE"
  ItemClass itemClass;
  std::string_view args;  // integer argument names, blank-separated
  bool string;
  std::string_view call;

  // The number of integer arguments, the string's length included.
  constexpr int intArgs() const {
    if (args.empty()) return 0;
    int n = 1;
    for (char c : args) n += c == ' ';
    return n;
  }
  // The count written before the arguments in the command file.
  constexpr int fileCount() const { return intArgs() + (string ? 1 : 0); }
};

inline constexpr ItemKind itemKinds[] = {
#define ZV_KIND_ROW(code, constant, cls, args, str, call) {code, #constant, ItemClass::cls, args, str, call},
    ZV_ITEM_KINDS(ZV_KIND_ROW)
#undef ZV_KIND_ROW
};
inline constexpr int itemKindCount = static_cast<int>(std::size(itemKinds));

// The row of a kind code, or null for a code outside the table.
constexpr const ItemKind* findItemKind(std::int32_t code) {
  return code >= 0 && code < itemKindCount ? &itemKinds[code] : nullptr;
}

namespace itemkinds_detail {
constexpr std::uint32_t stringKinds() {
  std::uint32_t mask = 0;
  for (const ItemKind& k : itemKinds)
    if (k.string) mask |= 1u << k.code;
  return mask;
}
inline constexpr std::uint32_t stringKindMask = stringKinds();

constexpr bool wellFormed() {
  for (int i = 0; i < itemKindCount; ++i) {
    const ItemKind& k = itemKinds[i];
    if (k.code != i) return false;  // codes are dense and in order
    if (k.string && !k.args.ends_with(" length") && k.args != "length") return false;
  }
  return true;
}
}  // namespace itemkinds_detail

static_assert(itemKindCount <= 32, "carriesString keeps one bit a kind");
static_assert(itemkinds_detail::wellFormed(), "a row of ZV_ITEM_KINDS breaks a rule stated above it");

// Whether an item of this kind carries a length-counted string: one bit
// test, since the reader asks it for every item.
constexpr bool carriesString(std::int32_t kind) {
  return static_cast<std::uint32_t>(kind) < 32u && ((itemkinds_detail::stringKindMask >> kind) & 1u) != 0;
}
