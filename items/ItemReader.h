#pragma once
// Reads the text form of one item a piece at a time. The text may arrive in
// any number of pieces; the reader keeps what it has learnt between them (the
// field being read, the string kept so far) and never needs a byte twice, so
// an item of any length completes. zvItem::Set is this reader run over one
// whole text.
//
// Each piece is a NUL-terminated text; the NUL marks only where the bytes
// that have arrived end. Fields are written into the item as they complete,
// the string only when the item is complete.

#include <cstdint>

#include "base/Utf8.h"
#include "items/zvItem.h"

class ItemReader {
public:
  ItemReader() { Start(); }

  // Forgets everything: the next byte is the first of a new item.
  void Start();
  // Reads on from `text` into `item`. Returns the bytes taken from `text`:
  // up to and including the item's last byte once it completes (Done()),
  // otherwise every byte up to the NUL. The space after an item's last
  // integer field is not part of it.
  int Read(zvItem& item, const char* text);
  bool Done() const { return phase == Phase::Done; }

  // One integer field at the start of `text`: its length up to the space
  // that ends its token, or 0 (and *value untouched) when no space came yet.
  static int ReadField(const char* text, std::int32_t* value);

  // One whole item at the start of `text` into `item`, as zvItem::Set: the
  // bytes it takes, or 0 when the text ends before the item does.
  static int ReadWhole(zvItem& item, const char* text) {
    if (const int used = readPlain(item, text)) return used;
    ItemReader reader;
    const int used = reader.Read(item, text);
    return reader.Done() ? used : 0;
  }

private:
  // Tab, line feed, vertical tab, form feed, carriage return and space; no
  // byte from 128 up.
  static bool isWhite(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }

  // The common case in one go: an item without a string whose bytes have
  // all arrived. Returns the bytes it takes, or 0 when the item needs the
  // reader (a text or font item with a count, or one that has not fully
  // arrived); the fields it stores then are those the reader stores again.
  static int readPlain(zvItem& item, const char* text);
  // One integer field from p: the position of the space that ends it, or
  // null when the text ends first.
  static const char* plainField(const char* p, std::int32_t& value);

  enum class Phase : std::uint8_t { Blank, Digits, Token, Separator, String, Done };

  // Advances through the field being read; true once its ending space is in
  // sight (p then points at it, unread).
  bool stepField(const char*& p);
  // Stores the completed field; true when the item is complete.
  bool endField(zvItem& item);
  // Keeps up to MaxStr bytes of the string and consumes the rest as it
  // arrives; true when the whole string is in.
  bool stepString(const char*& p);
  void finishString(zvItem& item);

  Phase phase;
  bool negative;
  bool hasString;
  std::uint8_t field;      // fields completed in this item
  std::uint32_t value;     // digits so far; wraps to the low 32 bits
  std::int32_t count;      // the integer arguments this item reads
  std::int32_t last;       // the last integer argument read
  std::int32_t remaining;  // string bytes still to come
  std::int32_t length;     // the string's whole length
  int kept;
  Utf8Check utf8;  // judged over the whole string when it is cut
  char keep[zvItem::MaxStr];
};

inline const char* ItemReader::plainField(const char* p, std::int32_t& value) {
  while (isWhite(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  std::uint32_t v = 0;
  for (unsigned d; (d = static_cast<unsigned char>(*p) - '0') <= 9; ++p) v = v * 10u + d;
  while (*p != ' ') {
    if (*p == '\0') return nullptr;
    ++p;
  }
  value = static_cast<std::int32_t>(negative ? 0u - v : v);
  return p;
}

inline int ItemReader::readPlain(zvItem& item, const char* text) {
  std::int32_t kind, count;
  const char* p = plainField(text, kind);
  if (!p || !(p = plainField(p, count))) return 0;
  if (count != 0 && carriesString(kind)) return 0;
  item.func = kind;
  item.num_arg = count > zvItem::MaxArgs ? zvItem::MaxArgs : count;
  for (int i = 0; i < item.num_arg; ++i)
    if (!(p = plainField(p, item.args[i]))) return 0;
  return static_cast<int>(p - text);
}
