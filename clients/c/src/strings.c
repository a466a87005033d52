/* How much of a string a display keeps: at most ZORVA_MAX_STRING bytes, and
   no UTF-8 character cut in two. A display shows a string's bytes as UTF-8
   when the whole string is valid UTF-8, else one character a byte; the cut
   follows the same judgement, so that the kept bytes show as the caller's
   characters. */
#include "handle.h"

int zv_is_utf8(const unsigned char* s, size_t size) {
  size_t i = 0;
  while (i < size) {
    const unsigned char c = s[i];
    int need;
    unsigned char lo = 0x80, hi = 0xBF; /* range of the first continuation byte */
    if (c < 0x80)
      need = 0;
    else if (c >= 0xC2 && c <= 0xDF)
      need = 1;
    else if (c == 0xE0)
      need = 2, lo = 0xA0; /* no overlong forms */
    else if (c == 0xED)
      need = 2, hi = 0x9F; /* no surrogates */
    else if (c >= 0xE1 && c <= 0xEF)
      need = 2;
    else if (c == 0xF0)
      need = 3, lo = 0x90;
    else if (c >= 0xF1 && c <= 0xF3)
      need = 3;
    else if (c == 0xF4)
      need = 3, hi = 0x8F; /* nothing above U+10FFFF */
    else
      return 0;
    if (size - i - 1 < (size_t)need) return 0;
    for (int k = 1; k <= need; ++k) {
      const unsigned char d = s[i + (size_t)k];
      if (d < lo || d > hi) return 0;
      lo = 0x80;
      hi = 0xBF;
    }
    i += (size_t)need + 1;
  }
  return 1;
}

size_t zv_kept_length(const char* s, size_t size) {
  if (size <= ZORVA_MAX_STRING) return size;
  if (!zv_is_utf8((const unsigned char*)s, size)) return ZORVA_MAX_STRING;
  size_t n = ZORVA_MAX_STRING;
  while (n > 0 && ((unsigned char)s[n] & 0xC0) == 0x80) --n;
  return n;
}
