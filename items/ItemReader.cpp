// The text form of one item: integer fields that end at a space, and for
// text and font items a length-counted string after one separator byte.

#include "items/ItemReader.h"

#include <cstring>

void ItemReader::Start() {
  phase = Phase::Blank;
  negative = false;
  hasString = false;
  field = 0;
  value = 0;
  count = 0;
  last = 0;
  remaining = 0;
  length = 0;
  kept = 0;
  utf8 = Utf8Check();
}

inline bool ItemReader::stepField(const char*& p) {
  switch (phase) {
    case Phase::Blank:
      while (isWhite(static_cast<unsigned char>(*p))) ++p;
      if (*p == '\0') return false;
      // The value is the decimal number at the start of the token: an
      // optional sign, then digits up to the first non-digit; anything else
      // reads as 0. Out-of-range values keep their low 32 bits.
      if (*p == '+' || *p == '-') negative = (*p++ == '-');
      phase = Phase::Digits;
      [[fallthrough]];
    case Phase::Digits:
      for (unsigned d; (d = static_cast<unsigned char>(*p) - '0') <= 9; ++p) value = value * 10u + d;
      if (*p == '\0') return false;
      phase = Phase::Token;
      [[fallthrough]];
    case Phase::Token:
      // The token runs to the next space wherever it lies; a line break
      // does not end it.
      while (*p != ' ') {
        if (*p == '\0') return false;
        ++p;
      }
      return true;
    default:
      return false;
  }
}

inline bool ItemReader::endField(zvItem& item) {
  const auto v = static_cast<std::int32_t>(negative ? 0u - value : value);
  const int index = field++;
  phase = Phase::Blank;
  negative = false;
  value = 0;
  if (index == 0) {
    item.func = v;
    return false;
  }
  if (index == 1) {
    item.num_arg = v > zvItem::MaxArgs ? zvItem::MaxArgs : v;
    if (item.num_arg == 0) return true;  // no argument and no string, whatever the kind
    hasString = carriesString(item.func);
    // The string counts as one argument. A negative count stays negative
    // (and is not decremented past the smallest int).
    if (hasString && item.num_arg != INT32_MIN) --item.num_arg;
    count = item.num_arg;
  } else {
    item.args[index - 2] = v;
    last = v;
  }
  if (index - 1 < count) return false;  // more integer arguments follow
  if (!hasString) return true;
  // The string's length is the last integer argument. With no integer
  // argument, a negative count or a negative length it is empty, so the
  // read position never moves backwards.
  length = count > 0 && last > 0 ? last : 0;
  remaining = length;
  phase = Phase::Separator;
  return false;
}

inline bool ItemReader::stepString(const char*& p) {
  const auto have = static_cast<std::int32_t>(strnlen(p, static_cast<std::size_t>(remaining)));
  const int room = zvItem::MaxStr - kept;
  const int take = have < room ? have : room;
  std::memcpy(keep + kept, p, static_cast<std::size_t>(take));
  kept += take;
  // A string that is cut is judged as a whole: only then can the cut fall
  // inside a character.
  if (length > zvItem::MaxStr)
    utf8.Feed(reinterpret_cast<const unsigned char*>(p), static_cast<std::size_t>(have));
  p += have;
  remaining -= have;
  return remaining == 0;
}

void ItemReader::finishString(zvItem& item) {
  int size = kept;
  if (length > zvItem::MaxStr && utf8.Valid()) {
    // Valid UTF-8 is cut at a character boundary, so the kept text stays
    // valid: drop a last sequence that the cut left incomplete.
    int lead = size - 1;
    while (lead > 0 && (static_cast<unsigned char>(keep[lead]) & 0xC0) == 0x80) --lead;
    if (lead + Utf8Check::SequenceLength(static_cast<unsigned char>(keep[lead])) > size) size = lead;
  }
  item.str.assign(keep, static_cast<std::size_t>(size));
}

int ItemReader::Read(zvItem& item, const char* text) {
  const char* p = text;
  for (;;) {
    switch (phase) {
      case Phase::Separator:
        // The space that ended the last field separates the string.
        if (*p == '\0') return static_cast<int>(p - text);
        ++p;
        phase = Phase::String;
        [[fallthrough]];
      case Phase::String:
        if (!stepString(p)) return static_cast<int>(p - text);
        finishString(item);
        phase = Phase::Done;
        [[fallthrough]];
      case Phase::Done:
        return static_cast<int>(p - text);
      default:
        if (!stepField(p)) return static_cast<int>(p - text);
        if (endField(item)) {
          phase = Phase::Done;
          return static_cast<int>(p - text);
        }
        break;
    }
  }
}

int ItemReader::ReadField(const char* text, std::int32_t* value) {
  ItemReader reader;
  const char* p = text;
  if (!reader.stepField(p)) return 0;
  *value = static_cast<std::int32_t>(reader.negative ? 0u - reader.value : reader.value);
  return static_cast<int>(p - text);
}
