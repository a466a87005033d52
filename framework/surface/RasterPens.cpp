#include "framework/surface/RasterPens.h"

#include <algorithm>

#include "framework/surface/ColorValue.h"

namespace {

// Pens kept at most before all are dropped.
constexpr std::size_t kMaxPens = 4096;

bool dashed(int style) { return style == PS_DASH || style == PS_DOT || style == PS_DASHDOT; }

}  // namespace

QPen RasterPens::make(const PenDesc& d, double ratio, int maxWidth) {
  QPen p(ToQColor(d.color));
  if (d.width > 1) {
    p.setWidth(std::min(d.width, maxWidth));
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
  }
  // Dash lengths are in pen widths, so logical pixels.
  p.setWidth(ratio == 1 ? 0 : 1);
  p.setCapStyle(Qt::FlatCap);
  switch (d.style) {
    case PS_DASH:
      p.setDashPattern({18, 6});
      break;
    case PS_DOT:
      p.setDashPattern({3, 3});
      break;
    case PS_DASHDOT:
      p.setDashPattern({9, 6, 3, 6});
      break;
    default:
      break;
  }
  return p;
}

const QPen& RasterPens::For(const PenDesc& d, double ratio, int maxWidth) {
  if (unitRatio != (ratio == 1)) {
    pens.clear();  // thin pens differ between ratio 1 and the others
    unitRatio = ratio == 1;
  }
  // Pens that draw alike share a key: every wide pen is solid, and so is
  // every thin one of a style without a pattern.
  const std::uint64_t width = d.width > 1 ? static_cast<std::uint64_t>(std::min(d.width, maxWidth)) : 0;
  const std::uint64_t style = width == 0 && dashed(d.style) ? static_cast<std::uint64_t>(d.style) : 0;
  const std::uint64_t key = (width << 32) | (style << 24) | (d.color & 0xFFFFFFu);
  auto it = pens.find(key);
  if (it != pens.end()) return it->second;
  if (pens.size() > kMaxPens) pens.clear();
  return pens.emplace(key, make(d, ratio, maxWidth)).first->second;
}
