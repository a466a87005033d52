#pragma once
// One display item: the record every drawing request in the command file
// becomes. A plain value: copied into the display list, never shared. Its
// string is immutable bytes that copies share (items/ItemString.h), so an
// item is 36 bytes and a copy never copies its text.

#include <cstdint>
#include <cstring>

#include "items/ItemKinds.h"
#include "items/ItemString.h"

class TClientDC;
class CallRun;
struct DrawAttributes;

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
  // Argument slot i (0 to MaxArgs - 1), whatever the count says.
  int GetArg(int i) const { return args[i]; }
  // Whether the item holds a string (not the empty one).
  bool HasStr() const { return !str.empty(); }
  // Gives the item a copy of its string's bytes that no other item shares,
  // so that it can be handed to another thread (copies share bytes through
  // a count that is not atomic). Throws std::bad_alloc.
  void OwnString() {
    if (HasStr()) str = ItemString(str.c_str(), str.size());
  }

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
  // Adds the calls Display makes for the item to a run's summary.
  void AddToRun(CallRun& run) const;
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

// Every kind's integer arguments fit the record's slots.
static_assert([] {
  for (const ItemKind& k : itemKinds)
    if (k.intArgs() > zvItem::MaxArgs) return false;
  return true;
}());
