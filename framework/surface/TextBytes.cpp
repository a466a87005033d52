#include "framework/surface/TextBytes.h"

namespace {

// 0x80-0x9F in Windows-1252; the five unassigned bytes keep their C1 code.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(const unsigned char* s, int n) {
  int i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (c < 0x80) { ++i; continue; }
    int len;
    unsigned lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else return false;
    if (n - i < len) return false;
    if (s[i + 1] < lo || s[i + 1] > hi) return false;
    for (int k = 2; k < len; ++k)
      if (s[i + k] < 0x80 || s[i + k] > 0xBF) return false;
    i += len;
  }
  return true;
}

}  // namespace

QString DecodeTextBytes(const char* bytes, int count) {
  if (count <= 0 || !bytes) return QString();
  const auto* s = reinterpret_cast<const unsigned char*>(bytes);
  if (isUtf8(s, count)) return QString::fromUtf8(bytes, count);
  QString out(count, Qt::Uninitialized);
  QChar* d = out.data();
  for (int i = 0; i < count; ++i)
    d[i] = (s[i] >= 0x80 && s[i] < 0xA0) ? QChar(kCp1252High[s[i] - 0x80]) : QChar(s[i]);
  return out;
}
