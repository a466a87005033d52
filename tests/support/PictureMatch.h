#pragma once
// Whether two renderings of one picture agree except at anti-aliased
// edges: one drawn without anti-aliasing (the raster picture), one with
// (Qt's SVG renderer drawing the SVG file of the same picture).
//
// At a pixel where they differ, the anti-aliased rendering's colour must be
// a blend of colours the raster picture has within one pixel of it, and the
// raster picture's colour must show within one pixel in the anti-aliased
// rendering, fully or blended at least a quarter into a neighbouring
// raster colour. A drawing missing, moved by more than a pixel, or in
// another colour fails both.

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace picture_match {

inline std::vector<QRgb> around(const QImage& image, int x, int y) {
  std::vector<QRgb> out;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int px = x + dx, py = y + dy;
      if (px >= 0 && py >= 0 && px < image.width() && py < image.height())
        out.push_back(image.pixel(px, py) & 0xFFFFFF);
    }
  return out;
}

// Whether q = t*a + (1-t)*c for some t in [least, 1], within 12 a channel.
inline bool blendOf(QRgb q, QRgb a, QRgb c, double least) {
  const int qs[3] = {qRed(q), qGreen(q), qBlue(q)}, as[3] = {qRed(a), qGreen(a), qBlue(a)},
            cs[3] = {qRed(c), qGreen(c), qBlue(c)};
  constexpr int tolerance = 12;
  double low = least, high = 1;
  for (int i = 0; i < 3; ++i) {
    const int span = as[i] - cs[i], off = qs[i] - cs[i];
    if (std::abs(span) <= tolerance) {
      if (std::abs(off) > tolerance + std::abs(span)) return false;
      continue;
    }
    double t1 = (off - tolerance) / double(span), t2 = (off + tolerance) / double(span);
    if (t1 > t2) std::swap(t1, t2);
    low = std::max(low, t1);
    high = std::min(high, t2);
  }
  return low <= high;
}

}  // namespace picture_match

struct PictureMatch {
  long lit = 0;     // pixels not black in either picture
  long differ = 0;  // pixels that differ beyond an anti-aliased edge
  double Share() const { return lit ? double(differ) / double(lit) : 0; }
};

inline PictureMatch MatchPictures(const QImage& rasterImage, const QImage& smoothImage) {
  using namespace picture_match;
  const QImage raster = rasterImage.convertToFormat(QImage::Format_RGB32);
  const QImage smooth = smoothImage.convertToFormat(QImage::Format_RGB32);
  PictureMatch m;
  if (raster.size() != smooth.size()) {
    m.lit = m.differ = 1;
    return m;
  }
  for (int y = 0; y < raster.height(); ++y)
    for (int x = 0; x < raster.width(); ++x) {
      const QRgb a = raster.pixel(x, y) & 0xFFFFFF, b = smooth.pixel(x, y) & 0xFFFFFF;
      if (a == 0 && b == 0) continue;
      ++m.lit;
      if (a == b) continue;
      const std::vector<QRgb> na = around(raster, x, y), nb = around(smooth, x, y);
      bool smoothExplained = false, rasterShown = false;
      for (QRgb c1 : na)
        for (QRgb c2 : na) smoothExplained = smoothExplained || blendOf(b, c1, c2, 0);
      for (QRgb q : nb) {
        rasterShown = rasterShown || q == a;
        for (QRgb c : na) rasterShown = rasterShown || (c != a && blendOf(q, a, c, 0.25));
      }
      if (!smoothExplained || !rasterShown) ++m.differ;
    }
  return m;
}
