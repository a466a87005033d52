#pragma once
// One display item: the record every drawing request in the command file
// becomes. A plain value: copied into the display list, never shared. Its
// string is immutable bytes that copies share (items/ItemString.h), so an
// item is 36 bytes and a copy never copies its text.

#include <cstdint>
#include <cstring>

#include "items/ItemString.h"

class TClientDC;
struct DrawAttributes;

// Item kinds, as the client library writes them into the command file.
enum : int {
  ZV_INIT = 0,         // start a picture (control item, never stored)
  ZV_EXIT = 1,         // close the display (control item, never stored)
  ZV_LINE = 2,         // x1, y1, x2, y2
  ZV_TEXT = 3,         // x, y, length; the text
  ZV_LINE_COLOR = 4,   // red, green, blue
  ZV_TEXT_COLOR = 5,   // red, green, blue
  ZV_LINE_WIDTH = 6,   // width
  ZV_LINE_TYPE = 7,    // 1 solid, 2 dashed, 3 dotted, 4 dash-dot
  ZV_TEXT_HEIGHT = 8,  // height
  ZV_TEXT_FONT = 9,    // length; the face name
  ZV_TEXT_ALIGN = 10,  // 1 left, 2 centre, 3 right
  ZV_CIRCLE = 11,      // centre x, centre y, radius
  ZV_CLEAR = 12,       // clear the picture (control item, never stored)
  ZV_ARC = 13,         // centre x, centre y, radius, begin angle, end angle
  ZV_POLYLINE = 14,    // x, y: first point of a polyline
  ZV_POLYVERTEX = 15,  // x, y: next vertex of a polyline
};

class zvItem {
public:
  static constexpr int MaxArgs = 5;
  // The longest text or face name an item keeps; longer ones are truncated.
  static constexpr int MaxStr = 255;

  zvItem() : func(0), num_arg(0), args{0, 0, 0, 0, 0} {}
  // Kind f; count argc capped at 5; copies exactly that many values from
  // argv (none when the count is 0 or below); the string is a copy of s
  // (null or empty gives an empty string).
  zvItem(int f, int argc, const int* argv, const char* s);
  // Copies the kind, the count, the first `count` argument slots and the
  // string; the other slots are zero.
  zvItem(const zvItem& item);
  // Copies the kind, the count, all five argument slots and the string.
  zvItem& operator=(const zvItem& item) {
    func = item.func;
    num_arg = item.num_arg;
    std::memcpy(args, item.args, sizeof args);  // a fixed size: copied inline, no call
    str = item.str;
    return *this;
  }
  ~zvItem() = default;

  int GetFunc() const { return func; }

  // Fills the item from the text form of one item at the start of the
  // NUL-terminated text `buf`. Returns the number of bytes the item takes, or
  // 0 when the text ends before the item is complete (the string is then left
  // untouched, other fields may already hold new values). A string longer
  // than MaxStr keeps its first MaxStr bytes, fewer when that cut would fall
  // inside a character of a string that is valid UTF-8 as a whole.
  int Set(const char* buf);
  // Reads one integer field at the start of `buf`: returns the bytes up to
  // the space that ends its token (at least 1) and stores its value, or
  // returns 0 and leaves *arg alone when no space has arrived yet.
  static int readArg(const char* buf, int* arg);

  // Draws the item on the window's context, or applies its attribute to
  // the context and records it in `attributes`.
  void Display(TClientDC* winDC, DrawAttributes& attributes);
  // Shows the item's fields in message boxes captioned "DEBUG".
  void debugDisp();

  // 1 if equal, 0 if not. Only this item's count decides how many argument
  // slots are compared; the counts themselves are not compared.
  int operator==(const zvItem& item) const;

private:
  friend struct zvItemProbe;  // read access for the tests
  friend class ItemReader;    // fills the fields as they are read

  std::int32_t func;
  std::int32_t num_arg;
  std::int32_t args[MaxArgs];
  ItemString str;  // empty for items built without one
};
