#include "framework/surface/TextCache.h"

#include <QFontMetricsF>

#include "framework/surface/TextBytes.h"

namespace {

// A font's strings are dropped when they grow past this many...
constexpr std::size_t kMaxTexts = 8192;
// ... and all of them when strings of more than this many fonts and ratios
// are kept.
constexpr std::size_t kMaxTextFonts = 16;

}  // namespace

TextCache::Strings& TextCache::stringsFor(const Key& key) {
  if (last && key == lastKey) return *last;
  if (byFont.size() > kMaxTextFonts && !byFont.count(key)) byFont.clear();
  last = &byFont[key];
  lastKey = key;
  return *last;
}

const TextCache::Entry& TextCache::Get(const RasterFont& font, double ratio, const char* text,
                                       int count) {
  Strings& strings = stringsFor(Key{font.id, ratio});
  const std::string_view bytes(text, static_cast<std::size_t>(count));
  if (auto it = strings.find(bytes); it != strings.end()) return it->second;
  if (strings.size() >= kMaxTexts) strings.clear();
  Entry e;
  const QString s = DecodeTextBytes(text, count);
  e.text.setTextFormat(Qt::PlainText);
  e.text.setPerformanceHint(QStaticText::AggressiveCaching);
  e.text.setText(s);
  e.advance = QFontMetricsF(font.font).horizontalAdvance(s);
  return strings.emplace(std::string(bytes), std::move(e)).first->second;
}

void TextCache::Clear() {
  byFont.clear();
  last = nullptr;
}

std::size_t TextCache::Size() const {
  std::size_t n = 0;
  for (const auto& [key, strings] : byFont) n += strings.size();
  return n;
}
