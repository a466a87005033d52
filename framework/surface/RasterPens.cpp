#include "framework/surface/RasterPens.h"

#include <algorithm>

#include "framework/surface/ColorValue.h"

namespace {

// Pens kept at most before all are dropped.
constexpr std::size_t kMaxPens = 4096;

}  // namespace

DashPattern DashPatternOf(const PenDesc& pen) {
  if (pen.width > 1) return {};
  switch (pen.style) {
    case PS_DASH:
      return {2, {18, 6}, 24};
    case PS_DOT:
      return {2, {3, 3}, 6};
    case PS_DASHDOT:
      return {4, {9, 6, 3, 6}, 24};
    default:
      return {};
  }
}

QPen RasterPens::make(const PenDesc& d, double ratio, int maxWidth, double zoom) {
  QPen p(ToQColor(d.color));
  if (d.width > 1) {
    if (zoom == 1)
      p.setWidth(std::min(d.width, maxWidth));
    else
      p.setWidthF(std::min(d.width * zoom, static_cast<double>(maxWidth)));
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
  }
  // Dash lengths are in pen widths: a pen `width` logical pixels wide has
  // entries zoom / width times the logical lengths at 1:1.
  double width = 0, unit = 1;
  if (zoom == 1) {
    if (ratio != 1) width = 1;
  } else {
    width = std::max(zoom, 1 / ratio);
    unit = zoom / width;
  }
  p.setWidthF(width);
  p.setCapStyle(Qt::FlatCap);
  const DashPattern dash = DashPatternOf(d);
  if (dash.count) {
    QList<qreal> entries;
    for (int i = 0; i < dash.count; ++i) entries.append(dash.len[i] * unit);
    p.setDashPattern(entries);
  }
  return p;
}

const QPen& RasterPens::For(const PenDesc& d, double ratio, int maxWidth, double zoom) {
  if (unitRatio != (ratio == 1) || keptZoom != zoom) {
    pens.clear();  // thin pens differ between ratio 1 and the others, and every pen between zooms
    unitRatio = ratio == 1;
    keptZoom = zoom;
  }
  // Pens that draw alike share a key: every wide pen is solid, and so is
  // every thin one of a style without a pattern.
  const std::uint64_t width = d.width > 1 ? static_cast<std::uint64_t>(std::min(d.width, maxWidth)) : 0;
  const std::uint64_t style = DashPatternOf(d).count ? static_cast<std::uint64_t>(d.style) : 0;
  const std::uint64_t key = (width << 32) | (style << 24) | (d.color & 0xFFFFFFu);
  auto it = pens.find(key);
  if (it != pens.end()) return it->second;
  if (pens.size() > kMaxPens) pens.clear();
  return pens.emplace(key, make(d, ratio, maxWidth, zoom)).first->second;
}
