#include "framework/surface/TextCache.h"

#include <QFontMetricsF>

#include "framework/surface/TextBytes.h"

namespace {

// A font's strings are dropped when they grow past this many...
constexpr std::size_t kMaxTexts = 8192;
// ... and all of them when strings of more than this many fonts and ratios
// are kept: every font the font cache keeps, at two ratios, so that a
// client that changes fonts at every text keeps its layouts.
constexpr std::size_t kMaxTextFonts = 2 * RasterFontCacheCapacity;

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

const TextCache::Entry& TextCache::Get(const RasterFont& font, double ratio, const char* text, int count) {
  const Key key{font.id, ratio};
  const std::string_view bytes(text, static_cast<std::size_t>(count));
  Strings* strings = &stringsFor(key);
  if (auto it = strings->find(bytes); it != strings->end()) return it->second;
  Entry e;
  const QString s = DecodeTextBytes(text, count);
  e.cost = entryBytes(bytes.size(), s.size());
  if (strings->size() >= kMaxTexts) {
    for (const auto& kept : *strings) used -= kept.second.cost;
    strings->clear();
  }
  if (used + e.cost > maxBytes) {
    Clear();
    strings = &stringsFor(key);
  }
  used += e.cost;
  e.text.setTextFormat(Qt::PlainText);
  e.text.setPerformanceHint(QStaticText::AggressiveCaching);
  e.text.setText(s);
  e.advance = QFontMetricsF(font.font).horizontalAdvance(s);
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
