#pragma once
// Pixel-for-pixel comparison of two images of any formats.

#include <QImage>

#include <cstring>
#include <string>

// Empty when both have the same size and the same pixels, else where they
// first differ. With an alpha channel in either, pixels are compared as
// unpremultiplied ARGB, else as RGB.
inline std::string firstDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size())
    return "sizes " + std::to_string(a.width()) + "x" + std::to_string(a.height()) + " and " +
           std::to_string(b.width()) + "x" + std::to_string(b.height());
  const QImage::Format format =
      a.hasAlphaChannel() || b.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
  const QImage ca = a.convertToFormat(format), cb = b.convertToFormat(format);
  const unsigned mask = format == QImage::Format_RGB32 ? 0x00FFFFFFu : 0xFFFFFFFFu;
  for (int y = 0; y < a.height(); ++y) {
    const auto* ra = reinterpret_cast<const QRgb*>(ca.constScanLine(y));
    const auto* rb = reinterpret_cast<const QRgb*>(cb.constScanLine(y));
    for (int x = 0; x < a.width(); ++x)
      if ((ra[x] & mask) != (rb[x] & mask))
        return "pixel (" + std::to_string(x) + "," + std::to_string(y) +
               "): " + std::to_string(ra[x] & mask) + " and " + std::to_string(rb[x] & mask);
  }
  return "";
}
