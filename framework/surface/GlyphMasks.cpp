#include "framework/surface/GlyphMasks.h"

#include "framework/surface/CoverageBlend.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

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

std::size_t GlyphMasks::OutlineKeyHash::operator()(const OutlineKey& k) const {
  return mix(static_cast<std::size_t>(k.font), k.glyph);
}

void GlyphMasks::SettleOutlines(const QRawFont& font) {
  // Qt's FreeType engines share one face among all sizes of a font file,
  // and rendering a glyph at a fraction of a pixel leaves that fraction set
  // on the face as a translation, which Qt's outline loading then applies
  // too: the same glyph's outline would move by up to a 64th of a pixel
  // with whatever text was drawn last. Rendering a glyph at no fraction
  // sets the translation back to zero, if the rendering is not in Qt's
  // glyph cache: a font keeps the glyphs of its last ten transforms, and
  // these scales (distinct in FreeType's 16.16 fixed point) come round
  // again only after 2^24 settlings. (A projective transform is never
  // cached, but Qt does not free what it renders then.) Tiny, so that it
  // costs little.
  static std::uint64_t settled = 0;
  ++settled;
  const double sx = (256.0 + static_cast<double>(settled % 4096)) / 65536;
  const double sy = (256.0 + static_cast<double>(settled / 4096 % 4096)) / 65536;
  (void)font.alphaMapForGlyph(0, QRawFont::PixelAntialiasing, QTransform::fromScale(sx, sy));
}

void GlyphMasks::Clear() {
  masks.clear();
  outlines.clear();
  fonts.clear();
  used = 0;
}

GlyphMasks::FontEntry GlyphMasks::fontEntry(const QRawFont& font) {
  if (auto it = fonts.constFind(font); it != fonts.constEnd()) return it.value();
  // Qt hands over a copy of a whole table, so the small tables that go with
  // the large ones are asked for: "loca" is the index of TrueType outlines,
  // version 0.5 of "maxp" says the outlines are CFF, "CBLC" is the index of
  // colour bitmaps.
  const auto has = [&font](const char* table) { return !font.fontTable(table).isEmpty(); };
  const auto cff = [&font] {
    const QByteArray maxp = font.fontTable("maxp");
    return maxp.size() >= 4 && maxp.startsWith(QByteArray("\x00\x00\x50\x00", 4));
  };
  const bool outlines = font.isValid() && (has("loca") || cff()) && !has("COLR") && !has("CBLC") &&
                        !has("sbix") && !has("SVG ");
  const FontEntry entry{static_cast<int>(fonts.size()), outlines};
  fonts.insert(font, entry);
  return entry;
}

std::size_t GlyphMasks::maskBytes(const Mask& m) {
  // The mask, its runs and coverage, and the node holding it with its key.
  return sizeof(Mask) + sizeof(Key) + 32 + m.runs.size() * sizeof(Run) + m.coverage.size();
}

bool GlyphMasks::reserve(std::size_t bytes) {
  if (used + bytes <= maxBytes || (masks.empty() && outlines.empty())) return true;
  Clear();
  return false;
}

const GlyphMasks::Outline& GlyphMasks::outlineFor(const QRawFont& font, quint32 glyph) {
  OutlineKey key{fontEntry(font).id, glyph};
  if (auto it = outlines.find(key); it != outlines.end()) return it->second;
  Outline o;
  SettleOutlines(font);
  o.path = font.pathForGlyph(glyph);
  o.path.setFillRule(Qt::WindingFill);
  o.bounds = o.path.boundingRect();
  // The key, the outline and the node holding them; the path's own data
  // and its elements.
  const std::size_t bytes = sizeof(OutlineKey) + sizeof(Outline) + 32 + 128 +
                            static_cast<std::size_t>(o.path.elementCount()) * sizeof(QPainterPath::Element);
  if (!reserve(bytes)) key.font = fontEntry(font).id;  // the fonts went too
  used += bytes;
  return outlines.emplace(key, std::move(o)).first->second;
}

GlyphMasks::Mask GlyphMasks::makeMask(const Outline& outline, double scale, double fx, double fy) {
  Mask m;
  if (outline.path.isEmpty()) return m;
  // Filled from a copy of its own: Qt keeps a converted form of a path it
  // fills with the path's data, which would double what a kept outline
  // holds.
  QPainterPath path = outline.path;
  path.setElementPositionAt(0, path.elementAt(0).x, path.elementAt(0).y);
  const QTransform place(scale, 0, 0, scale, fx, fy);
  const QRectF bounds = place.mapRect(outline.bounds);  // a scale and a shift: exact
  // A pixel of room each way for the anti-aliased edge.
  m.left = static_cast<int>(std::floor(bounds.left())) - 1;
  m.top = static_cast<int>(std::floor(bounds.top())) - 1;
  const int w = static_cast<int>(std::ceil(bounds.right())) + 1 - m.left;
  const int h = static_cast<int>(std::ceil(bounds.bottom())) + 1 - m.top;
  if (!(bounds.width() < kMaxMaskSide - 2 && bounds.height() < kMaxMaskSide - 2)) return Mask();
  m.width = w;
  m.height = h;
  // Premultiplied ARGB: Qt's fast solid blend writes the coverage into the
  // alpha byte (an 8-bit alpha image would go through its generic, threaded
  // path). One image serves every mask, so that Qt's paint engine for it is
  // made once; only the mask's corner of it is cleared and filled.
  if (scratch.width() < w || scratch.height() < h)
    scratch = QImage(std::max({w, scratch.width(), 256}), std::max({h, scratch.height(), 256}),
                     QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < h; ++y) std::memset(scratch.scanLine(y), 0, static_cast<std::size_t>(w) * 4);
  {
    // The fill Qt makes of a glyph it draws as an outline: anti-aliased,
    // winding, no pen.
    QPainter p(&scratch);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 255));
    p.setTransform(QTransform(scale, 0, 0, scale, fx - m.left, fy - m.top));
    p.drawPath(path);
  }
  // A black fill leaves each pixel its coverage in the alpha byte and
  // nothing else: 0 uncovered, kSolid fully covered.
  constexpr std::uint32_t kSolid = 0xff000000u;
  // Cut into kept vectors that have grown to the largest mask so far, then
  // copied out at their exact sizes.
  runScratch.clear();
  coverageScratch.clear();
  const auto run = [this](int y, int x, int end, bool solid) {
    runScratch.push_back(Run{static_cast<std::int16_t>(y), static_cast<std::int16_t>(x),
                             static_cast<std::int16_t>(end - x), solid});
  };
  for (int y = 0; y < h; ++y) {
    const auto* px = reinterpret_cast<const std::uint32_t*>(scratch.constScanLine(y));
    for (int x = 0; x < w;) {
      while (x + 4 <= w && (px[x] | px[x + 1] | px[x + 2] | px[x + 3]) == 0) x += 4;
      while (x < w && px[x] == 0) ++x;
      if (x == w) break;
      int end = x + 1;
      if (px[x] == kSolid) {
        while (end + 4 <= w && (px[end] & px[end + 1] & px[end + 2] & px[end + 3]) == kSolid) end += 4;
        while (end < w && px[end] == kSolid) ++end;
        run(y, x, end, true);
      } else {
        while (end < w && px[end] != 0 && px[end] != kSolid) ++end;
        run(y, x, end, false);
        for (; x < end; ++x) coverageScratch.push_back(static_cast<std::uint8_t>(px[x] >> 24));
      }
      x = end;
    }
  }
  m.runs.assign(runScratch.begin(), runScratch.end());
  m.coverage.assign(coverageScratch.begin(), coverageScratch.end());
  return m;
}

const GlyphMasks::Mask& GlyphMasks::maskFor(const QRawFont& font, quint32 glyph, double scale, double fx,
                                            double fy) {
  Key key{fontEntry(font).id, glyph, scale, fx, fy};
  if (auto it = masks.find(key); it != masks.end()) return it->second;
  Mask m = makeMask(outlineFor(font, glyph), scale, fx, fy);
  const std::size_t bytes = maskBytes(m);
  // When everything else goes, the mask's outline goes too (it is made
  // again if wanted), and the fonts with their ids.
  if (!reserve(bytes)) key.font = fontEntry(font).id;
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
  // The picture's rows are far apart in memory, and a glyph's next rows are
  // wanted soon: asked for ahead, they are loaded while this one is blended.
  constexpr int kAhead = 4;
  if (gx >= 0 && gy >= 0 && gx + m.width <= target.w && gy + m.height <= target.h) {
    // All of the mask on the target: no run is cut.
    uchar* origin = target.bits + gy * target.stride + gx * 4;
    for (const Run& run : m.runs) {
      auto* pixels = reinterpret_cast<std::uint32_t*>(origin + run.y * target.stride) + run.x;
      if (gy + run.y + kAhead < target.h)
        __builtin_prefetch(reinterpret_cast<const uchar*>(pixels) + kAhead * target.stride, 1);
      if (run.solid) {
        std::fill(pixels, pixels + run.len, colour);
      } else if (run.len < 4) {
        for (int i = 0; i < run.len; ++i) pixels[i] = BlendCoverage(pixels[i], colour, coverage[i]);
        coverage += run.len;
      } else {
        BlendCoverageRun(pixels, coverage, run.len, colour);
        coverage += run.len;
      }
    }
    return;
  }
  for (const Run& run : m.runs) {
    const std::uint8_t* c = coverage;
    if (!run.solid) coverage += run.len;
    const long long row = gy + run.y;
    if (row < 0 || row >= target.h) continue;
    const long long from = std::max<long long>(gx + run.x, 0);
    const long long to = std::min<long long>(gx + run.x + run.len, target.w);
    if (from >= to) continue;
    auto* pixels = reinterpret_cast<std::uint32_t*>(target.bits + row * target.stride);
    if (row + kAhead < target.h)
      __builtin_prefetch(target.bits + (row + kAhead) * target.stride + from * 4, 1);
    if (run.solid)
      std::fill(pixels + from, pixels + to, colour);
    else
      BlendCoverageRun(pixels + from, c + (from - gx - run.x), to - from, colour);
  }
}
