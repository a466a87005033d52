#include "framework/surface/TextCache.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QTextLayout>
#include <limits>

#include "base/TextBytes.h"

namespace {

// A font's strings are dropped when they grow past this many...
constexpr std::size_t kMaxTexts = 8192;
// ... and all of them when strings of more than this many fonts and ratios
// are kept: every font the font cache keeps, at two ratios, so that a
// client that changes fonts at every text keeps its layouts.
constexpr std::size_t kMaxTextFonts = 2 * RasterFontCacheCapacity;

// Places the glyphs of `s` in `font` as a laid-out text draws them: one
// line, leading included, as wide as it needs; the text's advance is the
// line's. Texts with control or
// separator characters (which may break lines or tabulate) are left to the
// layout's own drawing.
void placeGlyphs(TextCache::Entry& e, const QFont& font, const QString& s) {
  e.placeTried = true;
  for (QChar c : s)
    if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Separator_Line ||
        c.category() == QChar::Separator_Paragraph)
      return;
  QTextLayout layout(s, font);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (!line.isValid()) {
    layout.endLayout();
    return;
  }
  line.setLeadingIncluded(true);
  line.setLineWidth(std::numeric_limits<int>::max() / 256.0);
  line.setPosition(QPointF(0, 0));
  const bool oneLine = !layout.createLine().isValid();
  layout.endLayout();
  if (!oneLine) return;
  // The same shaping as the font metrics' advance, and the same sum.
  e.advance = line.horizontalAdvance();
  for (const QGlyphRun& run : layout.glyphRuns()) {
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    const int f = static_cast<int>(e.fonts.size());
    e.fonts.push_back(run.rawFont());
    for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i)
      e.glyphs.push_back(PlacedGlyph{indexes[i], f, positions[i].x(), positions[i].y()});
  }
  e.placed = true;
}

// What placed glyphs add to an entry's bytes.
std::size_t placedBytes(const TextCache::Entry& e) {
  return e.glyphs.size() * sizeof(PlacedGlyph) + e.fonts.size() * (sizeof(QRawFont) + 64);
}

}  // namespace

std::size_t TextCache::entryBytes(std::size_t keyBytes, qsizetype chars) {
  // The key and the node that holds it; the layout's fixed part; per
  // character the text (2 bytes), a glyph index (4) and position (8), with
  // room for the layout's own rounding.
  constexpr std::size_t kFixed = sizeof(Entry) + sizeof(std::string) + 64 + 512;
  return kFixed + keyBytes + 24 * static_cast<std::size_t>(chars);
}

TextCache::Strings& TextCache::stringsFor(const Key& key) {
  if (last && key == lastKey) return *last;
  if (byFont.size() > kMaxTextFonts && !byFont.count(key)) Clear();
  last = &byFont[key];
  lastKey = key;
  return *last;
}

const TextCache::Entry& TextCache::Get(const RasterFont& font, double ratio, const char* text, int count,
                                       bool place) {
  const Key key{font.id, ratio};
  const std::string_view bytes(text, static_cast<std::size_t>(count));
  Strings* strings = &stringsFor(key);
  if (auto it = strings->find(bytes); it != strings->end()) {
    if (!place || it->second.placeTried) return it->second;
    // Laid out before without its glyphs: made again with them.
    used -= it->second.cost;
    strings->erase(it);
  }
  Entry e;
  const QString s = DecodeTextBytes(text, count);
  e.text.setTextFormat(Qt::PlainText);
  e.text.setPerformanceHint(QStaticText::AggressiveCaching);
  e.text.setText(s);
  if (place) placeGlyphs(e, font.font, s);
  if (!e.placed) e.advance = QFontMetricsF(font.font).horizontalAdvance(s);
  e.cost = entryBytes(bytes.size(), s.size()) + placedBytes(e);
  if (strings->size() >= kMaxTexts) {
    for (const auto& kept : *strings) used -= kept.second.cost;
    strings->clear();
  }
  if (used + e.cost > maxBytes) {
    Clear();
    strings = &stringsFor(key);
  }
  used += e.cost;
  return strings->emplace(std::string(bytes), std::move(e)).first->second;
}

void TextCache::Clear() {
  byFont.clear();
  last = nullptr;
  used = 0;
}

std::size_t TextCache::Size() const {
  std::size_t n = 0;
  for (const auto& [key, strings] : byFont) n += strings.size();
  return n;
}
