// The text form of one item: integer fields that end at a space, and for
// text and font items a length-counted string after one separator byte.

#include <cstdint>
#include <cstring>

#include "items/zvItem.h"

namespace {

// Tab, line feed, vertical tab, form feed, carriage return and space; no
// byte from 128 up.
inline bool isWhite(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }

// One integer field; Set calls it inline for every field.
inline int readField(const char* buf, std::int32_t* arg) {
  const char* p = buf;
  while (isWhite(static_cast<unsigned char>(*p))) ++p;
  // The value is the decimal number at the start of the token: an optional
  // sign, then digits up to the first non-digit; anything else reads as 0.
  // Out-of-range values keep their low 32 bits (unsigned arithmetic wraps).
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  std::uint32_t v = 0;
  for (unsigned d; (d = static_cast<unsigned char>(*p) - '0') <= 9; ++p) v = v * 10u + d;
  // The token runs to the next space wherever it lies; a line break does not
  // end it. No space yet means the field has not fully arrived.
  while (*p != ' ') {
    if (*p == '\0') return 0;
    ++p;
  }
  *arg = static_cast<std::int32_t>(negative ? 0u - v : v);
  return static_cast<int>(p - buf);
}

}  // namespace

int zvItem::readArg(const char* buf, int* arg) { return readField(buf, arg); }

int zvItem::Set(const char* buf) {
  int pos = readField(buf, &func);
  if (pos == 0) return 0;
  int len = readField(buf + pos, &num_arg);
  if (len == 0) return 0;
  if (num_arg > MaxArgs) num_arg = MaxArgs;
  pos += len;
  if (num_arg == 0) return pos;

  const bool hasString = func == ZV_TEXT || func == ZV_TEXT_FONT;
  // The string counts as one argument. A negative count stays negative (and
  // is not decremented past the smallest int).
  if (hasString && num_arg != INT32_MIN) --num_arg;
  for (int i = 0; i < num_arg; ++i) {
    len = readField(buf + pos, &args[i]);
    if (len == 0) return 0;
    pos += len;
  }
  if (!hasString) return pos;

  ++pos;  // the space that ended the last field separates the string
  // The string's length is the last integer argument. A text or font item
  // with no integer argument (count 1), or with a negative count, has no
  // length field: it reads as an empty string. A negative length reads as an
  // empty string too, so the read position never moves backwards.
  int length = num_arg > 0 ? args[num_arg - 1] : 0;
  if (length < 0) length = 0;
  // Complete only when all `length` bytes have arrived; a NUL ends the text.
  if (static_cast<int>(strnlen(buf + pos, static_cast<std::size_t>(length))) < length) return 0;
  // At most MaxStr bytes are kept; all of them are consumed, so the next item
  // is read from the right byte.
  str.assign(buf + pos, static_cast<std::size_t>(length < MaxStr ? length : MaxStr));
  return pos + length;
}
