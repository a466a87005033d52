#pragma once
// Large text drawn from kept coverage masks of its glyphs. Qt keeps images
// of glyphs up to 64 device pixels and draws larger ones by filling their
// outlines anew every time, about a millisecond for a short text of 100 to
// 200 pixels. Here a glyph's outline is filled once, by Qt's own rasteriser,
// into a coverage mask for its font, scale and sub-pixel position, kept as
// runs of full and of partial coverage, and blended into the pixels the way
// Qt blends a solid colour. The pixels are those of the outline fill, except
// where two glyphs of one text share a pixel: each glyph is blended on its
// own there, as Qt blends the glyphs it keeps.
//
// A glyph's outline is asked of Qt once per font and kept for its other
// masks, so a glyph's masks all come from the same outline.
//
// Masks and outlines are kept up to a bound on their bytes (32 MiB unless
// given: short texts in 192 sizes of two faces, 5,700 masks from 3,500
// outlines, take about 21 MiB); past it all of them are dropped and made
// again as needed.

#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QRawFont>
#include <QRgb>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// 32-bit pixels to draw on: RGB32 or premultiplied ARGB32, w x h, stride
// bytes a row.
struct PixelTarget {
  uchar* bits = nullptr;
  qsizetype stride = 0;
  int w = 0, h = 0;
};

class GlyphMasks {
public:
  static constexpr std::size_t kDefaultMaxBytes = 32u << 20;
  explicit GlyphMasks(std::size_t maxBytes = kDefaultMaxBytes) : maxBytes(maxBytes) {}

  // Whether the glyphs of `font` can be drawn from masks: an outline font
  // without colour glyphs (others are left to Qt).
  bool Drawable(const QRawFont& font) { return fontEntry(font).outlines; }

  // Blends glyph `glyph` of `font`, scaled by `scale` device pixels a
  // logical pixel, with its origin at device point (x, y), in the opaque
  // colour `rgb` into `target`; what falls outside the target is dropped.
  void Draw(const QRawFont& font, quint32 glyph, double scale, double x, double y, QRgb rgb,
            const PixelTarget& target);

  // Makes the next outlines Qt gives for `font`, for its own glyph fills
  // as for masks, independent of what was drawn before (see the
  // definition).
  static void SettleOutlines(const QRawFont& font);

  // Masks kept, and the estimated bytes of the masks and of the outlines
  // they were made from (never above the bound unless one alone passes it).
  std::size_t Size() const { return masks.size(); }
  std::size_t Bytes() const { return used; }
  void Clear();

private:
  // A row's stretch of covered pixels: all fully covered (solid), or with
  // their coverage next in the mask's bytes (partial runs take theirs in
  // turn).
  struct Run {
    std::int16_t y, x, len;
    bool solid;
  };
  // The most pixels a mask spans each way (a glyph's outline far beyond its
  // em square, from a broken font, is not drawn).
  static constexpr int kMaxMaskSide = 4096;
  struct Mask {
    int left = 0, top = 0;  // of the mask, off the glyph's whole-pixel origin
    int width = 0, height = 0;
    std::vector<Run> runs;
    std::vector<std::uint8_t> coverage;
  };
  struct Key {
    int font;
    quint32 glyph;
    double scale, fx, fy;  // fx, fy: the origin's fraction of a device pixel
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const;
  };
  // A glyph's outline in its font, at the font's size: the same for every
  // scale and fraction of a pixel, and kept for the masks of the other
  // fractions (a glyph placed along a text lands on several).
  struct OutlineKey {
    int font;
    quint32 glyph;
    bool operator==(const OutlineKey&) const = default;
  };
  struct OutlineKeyHash {
    std::size_t operator()(const OutlineKey& k) const;
  };
  struct Outline {
    QPainterPath path;
    QRectF bounds;
  };

  struct FontEntry {
    int id;
    bool outlines;
  };
  FontEntry fontEntry(const QRawFont& font);
  const Mask& maskFor(const QRawFont& font, quint32 glyph, double scale, double fx, double fy);
  const Outline& outlineFor(const QRawFont& font, quint32 glyph);
  Mask makeMask(const Outline& outline, double scale, double fx, double fy);
  static std::size_t maskBytes(const Mask& m);
  // Makes room for `bytes` more: all masks and outlines are dropped when
  // they would pass the bound (unless there are none). False when they were.
  bool reserve(std::size_t bytes);

  QHash<QRawFont, FontEntry> fonts;  // holds the fonts, so that their ids stay theirs
  std::unordered_map<Key, Mask, KeyHash> masks;
  std::unordered_map<OutlineKey, Outline, OutlineKeyHash> outlines;
  std::size_t maxBytes;
  std::size_t used = 0;
  QImage scratch;               // where masks are filled
  std::vector<Run> runScratch;  // where they are cut into runs
  std::vector<std::uint8_t> coverageScratch;
};
