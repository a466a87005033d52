#pragma once
// An independent reading of the command format over a whole byte string, as
// if the buffer were large enough for every item: what the stream must yield
// however the bytes arrive. Written plainly, for comparison only.

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "items/zvItem.h"
#include "tests/items/zvItemProbe.h"

struct RefItem {
  int func = 0;
  int count = 0;           // as stored: capped, minus the string for texts and fonts
  std::vector<int> args;   // the integer arguments the text gives
  bool hasString = false;  // a string was read (a text or font item with a count)
  std::string str;
};

inline std::vector<RefItem> ReferenceItems(std::string bytes) {
  for (char& c : bytes)
    if (c == '\0') c = ' ';
  auto white = [](unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); };
  std::vector<RefItem> items;
  std::size_t pos = 0;
  auto field = [&](int& value) {
    std::size_t p = pos;
    while (p < bytes.size() && white(static_cast<unsigned char>(bytes[p]))) ++p;
    const std::size_t space = bytes.find(' ', p);
    if (p == bytes.size() || space == std::string::npos) return false;
    std::size_t q = p;
    const bool negative = bytes[q] == '-';
    if (bytes[q] == '-' || bytes[q] == '+') ++q;
    std::uint32_t v = 0;
    while (q < space && bytes[q] >= '0' && bytes[q] <= '9')
      v = v * 10u + static_cast<unsigned>(bytes[q++] - '0');
    value = static_cast<int>(negative ? 0u - v : v);
    pos = space;
    return true;
  };
  for (;;) {
    RefItem item;
    if (!field(item.func) || !field(item.count)) break;
    if (item.count > zvItem::MaxArgs) item.count = zvItem::MaxArgs;
    const bool text = item.func == ZV_TEXT || item.func == ZV_TEXT_FONT;
    if (item.count != 0) {
      if (text && item.count != INT_MIN) --item.count;
      bool complete = true;
      for (int i = 0; i < item.count && complete; ++i) {
        int v = 0;
        complete = field(v);
        item.args.push_back(v);
      }
      if (!complete) break;
      if (text) {
        const int last = item.count > 0 ? item.args.back() : 0;
        const std::size_t length = last > 0 ? static_cast<std::size_t>(last) : 0;
        if (pos + 1 + length > bytes.size()) break;
        std::string s = bytes.substr(pos + 1, length);
        pos += 1 + length;
        if (s.size() > static_cast<std::size_t>(zvItem::MaxStr)) {
          std::size_t cut = zvItem::MaxStr;
          if (IsUtf8(reinterpret_cast<const unsigned char*>(s.data()), s.size()))
            while ((static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
          s.resize(cut);
        }
        item.hasString = true;
        item.str = s;
      }
    }
    items.push_back(item);
    if (item.func == ZV_EXIT) break;
  }
  return items;
}

// Whether a stored item holds what the text gave; the fields the text left
// alone (carried from the working item) are not looked at.
inline bool SameAsWritten(const zvItem& got, const RefItem& want) {
  using P = zvItemProbe;
  if (P::func(got) != want.func || P::count(got) != want.count) return false;
  for (std::size_t i = 0; i < want.args.size(); ++i)
    if (P::args(got)[i] != want.args[i]) return false;
  return !want.hasString || P::str(got) == want.str;
}
