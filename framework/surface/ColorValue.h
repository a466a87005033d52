#pragma once
// The one conversion between the platform's 32-bit colour value (red in
// bits 0-7, green in 8-15, blue in 16-23; the top byte is not a component)
// and Qt's colours. Qt's colours are opaque; their alpha is dropped on the
// way back.

#include <QColor>
#include <QRgb>
#include <cstdint>

inline QRgb ToQRgb(std::uint32_t value) {
  return qRgb(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
              static_cast<int>((value >> 16) & 0xFFu));
}

inline QColor ToQColor(std::uint32_t value) { return QColor(ToQRgb(value)); }

inline std::uint32_t FromQRgb(QRgb rgb) {
  return static_cast<std::uint32_t>(qRed(rgb)) | (static_cast<std::uint32_t>(qGreen(rgb)) << 8) |
         (static_cast<std::uint32_t>(qBlue(rgb)) << 16);
}
