#include "framework/surface/GlyphMasks.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <bit>
#include <cmath>

namespace {

// Each 8-bit channel of x times a / 255, rounded as Qt's raster engine
// rounds it, two channels at a time.
inline std::uint32_t mulChannels(std::uint32_t x, std::uint32_t a) {
  std::uint32_t t = (x & 0xff00ffu) * a;
  t = ((t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
  x = ((x >> 8) & 0xff00ffu) * a;
  x = (x + ((x >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
  return x | t;
}

inline std::size_t mix(std::size_t h, std::uint64_t v) {
  return (h ^ (v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2)));
}

}  // namespace

std::size_t GlyphMasks::KeyHash::operator()(const Key& k) const {
  std::size_t h = mix(static_cast<std::size_t>(k.font), k.glyph);
  h = mix(h, std::bit_cast<std::uint64_t>(k.scale));
  h = mix(h, std::bit_cast<std::uint64_t>(k.fx));
  return mix(h, std::bit_cast<std::uint64_t>(k.fy));
}

void GlyphMasks::Clear() {
  masks.clear();
  fonts.clear();
  used = 0;
}

GlyphMasks::FontEntry GlyphMasks::fontEntry(const QRawFont& font) {
  if (auto it = fonts.constFind(font); it != fonts.constEnd()) return it.value();
  const auto has = [&font](const char* table) { return !font.fontTable(table).isEmpty(); };
  const bool outlines = font.isValid() && (has("glyf") || has("CFF ") || has("CFF2")) && !has("COLR") &&
                        !has("CBDT") && !has("sbix") && !has("SVG ");
  const FontEntry entry{static_cast<int>(fonts.size()), outlines};
  fonts.insert(font, entry);
  return entry;
}

std::size_t GlyphMasks::maskBytes(const Mask& m) {
  // The mask, its runs and coverage, and the node holding it with its key.
  return sizeof(Mask) + sizeof(Key) + 32 + m.runs.size() * sizeof(Run) + m.coverage.size();
}

GlyphMasks::Mask GlyphMasks::makeMask(const QRawFont& font, quint32 glyph, double scale, double fx,
                                      double fy) {
  Mask m;
  QPainterPath path = font.pathForGlyph(glyph);
  if (path.isEmpty()) return m;
  path.setFillRule(Qt::WindingFill);
  const QTransform place(scale, 0, 0, scale, fx, fy);
  const QRectF bounds = place.mapRect(path.boundingRect());  // a scale and a shift: exact
  // A pixel of room each way for the anti-aliased edge.
  m.left = static_cast<int>(std::floor(bounds.left())) - 1;
  m.top = static_cast<int>(std::floor(bounds.top())) - 1;
  const int w = static_cast<int>(std::ceil(bounds.right())) + 1 - m.left;
  const int h = static_cast<int>(std::ceil(bounds.bottom())) + 1 - m.top;
  if (!(bounds.width() < kMaxMaskSide - 2 && bounds.height() < kMaxMaskSide - 2)) return Mask();
  // Premultiplied ARGB: Qt's fast solid blend writes the coverage into
  // the alpha byte (an 8-bit alpha image would go through its generic,
  // threaded path).
  QImage alpha(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
  alpha.fill(0);
  {
    // The fill Qt makes of a glyph it draws as an outline: anti-aliased,
    // winding, no pen.
    QPainter p(&alpha);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 255));
    p.setTransform(QTransform(scale, 0, 0, scale, fx - m.left, fy - m.top));
    p.drawPath(path);
  }
  std::vector<uchar> row(static_cast<std::size_t>(alpha.width()));
  for (int y = 0; y < alpha.height(); ++y) {
    const auto* argb = reinterpret_cast<const QRgb*>(alpha.constScanLine(y));
    const int width = alpha.width();
    for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = static_cast<uchar>(qAlpha(argb[x]));
    for (int x = 0; x < width;) {
      if (!row[x]) {
        ++x;
        continue;
      }
      const bool solid = row[x] == 255;
      int end = x;
      while (end < width && row[end] && (row[end] == 255) == solid) ++end;
      m.runs.push_back(Run{static_cast<std::int16_t>(y), static_cast<std::int16_t>(x),
                           static_cast<std::int16_t>(end - x), solid});
      if (!solid) m.coverage.insert(m.coverage.end(), row.begin() + x, row.begin() + end);
      x = end;
    }
  }
  m.runs.shrink_to_fit();
  m.coverage.shrink_to_fit();
  return m;
}

const GlyphMasks::Mask& GlyphMasks::maskFor(const QRawFont& font, quint32 glyph, double scale, double fx,
                                            double fy) {
  const Key key{fontEntry(font).id, glyph, scale, fx, fy};
  if (auto it = masks.find(key); it != masks.end()) return it->second;
  Mask m = makeMask(font, glyph, scale, fx, fy);
  const std::size_t bytes = maskBytes(m);
  if (used + bytes > maxBytes && !masks.empty()) {
    Clear();
    return maskFor(font, glyph, scale, fx, fy);
  }
  used += bytes;
  return masks.emplace(key, std::move(m)).first->second;
}

void GlyphMasks::Draw(const QRawFont& font, quint32 glyph, double scale, double x, double y, QRgb rgb,
                      const PixelTarget& target) {
  if (!(std::abs(x) < (1 << 30) && std::abs(y) < (1 << 30))) return;
  // A mask for each fraction of a pixel the origin lies at: large glyphs
  // are mostly hinted to whole pixels, so a glyph usually has one or two
  // masks at a size.
  const double ix = std::floor(x), iy = std::floor(y);
  const Mask& m = maskFor(font, glyph, scale, x - ix, y - iy);
  const long long gx = static_cast<long long>(ix) + m.left, gy = static_cast<long long>(iy) + m.top;
  const std::uint32_t colour = rgb | 0xff000000u;
  const std::uint8_t* coverage = m.coverage.data();  // the next partial run's
  for (const Run& run : m.runs) {
    const std::uint8_t* c = coverage;
    if (!run.solid) coverage += run.len;
    const long long row = gy + run.y;
    if (row < 0 || row >= target.h) continue;
    const long long from = std::max<long long>(gx + run.x, 0);
    const long long to = std::min<long long>(gx + run.x + run.len, target.w);
    if (from >= to) continue;
    auto* pixels = reinterpret_cast<std::uint32_t*>(target.bits + row * target.stride);
    if (run.solid) {
      std::fill(pixels + from, pixels + to, colour);
      continue;
    }
    c += from - gx - run.x;
    for (long long i = from; i < to; ++i, ++c)
      pixels[i] = mulChannels(colour, *c) + mulChannels(pixels[i], 255u - *c);
  }
}
