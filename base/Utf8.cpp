#include "base/Utf8.h"

int Utf8Check::SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

void Utf8Check::Feed(const unsigned char* s, std::size_t n) {
  for (std::size_t i = 0; i < n && !bad; ++i) {
    const unsigned char c = s[i];
    if (need > 0) {
      if (c < lo || c > hi) {
        bad = true;
        return;
      }
      --need;
      lo = 0x80;
      hi = 0xBF;
      continue;
    }
    if (c < 0x80) continue;
    const int len = SequenceLength(c);
    if (len == 0) {
      bad = true;
      return;
    }
    need = static_cast<std::uint8_t>(len - 1);
    // The second byte's range excludes overlong forms, surrogates and
    // values beyond U+10FFFF.
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  }
}

bool IsUtf8(const unsigned char* s, std::size_t n) {
  Utf8Check check;
  check.Feed(s, n);
  return check.Valid();
}
