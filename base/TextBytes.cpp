#include "base/TextBytes.h"

#include "base/Utf8.h"

namespace {

// 0x80-0x9F in Windows-1252; the five unassigned bytes keep their C1 code.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QString DecodeTextBytes(std::string_view bytes) {
  if (bytes.empty()) return QString();
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto n = static_cast<qsizetype>(bytes.size());
  if (IsUtf8(s, bytes.size())) return QString::fromUtf8(bytes.data(), n);
  QString out(n, Qt::Uninitialized);
  QChar* d = out.data();
  for (qsizetype i = 0; i < n; ++i)
    d[i] = (s[i] >= 0x80 && s[i] < 0xA0) ? QChar(kCp1252High[s[i] - 0x80]) : QChar(s[i]);
  return out;
}

QString DecodeTextBytes(const char* bytes, int count) {
  if (count <= 0 || !bytes) return QString();
  return DecodeTextBytes(std::string_view(bytes, static_cast<std::size_t>(count)));
}
