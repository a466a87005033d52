#pragma once
// Laid-out texts for the raster surface. Qt's drawText spends most of its
// time laying text out; a QStaticText laid out once and drawn many times is
// up to three times faster. Entries are kept per font and per device pixel
// ratio, since a layout is made for the resolution it is drawn at. A font's
// strings are dropped when they grow past a count, and those of every font
// when strings of too many fonts and ratios are kept or when the estimated
// bytes of all entries would pass the cache's bound (32 MiB unless given).

#include <QRawFont>
#include <QStaticText>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/surface/RasterFont.h"

// One glyph of a laid-out text: its index in the font `font` (an index into
// the text's fonts) and its origin, in logical pixels off the top-left
// corner of the text.
struct PlacedGlyph {
  quint32 glyph;
  int font;
  double x, y;
};

class TextCache {
public:
  struct Entry {
    QStaticText text;
    double advance = 0;    // logical pixels
    std::size_t cost = 0;  // estimated bytes (see Bytes)
    // The glyphs, placed as the layout places them, for a surface that
    // draws them itself; only when asked for, and only for a text of one
    // line without control characters (`placed` says whether they are).
    bool placeTried = false;
    bool placed = false;
    std::vector<QRawFont> fonts;
    std::vector<PlacedGlyph> glyphs;
  };

  // The layout of the `count` bytes at `text` (count > 0) in `font`, to be
  // drawn on a device of pixel ratio `ratio`, with its glyphs placed when
  // `placeGlyphs` says so. The reference is valid until the next call.
  const Entry& Get(const RasterFont& font, double ratio, const char* text, int count,
                   bool placeGlyphs = false);
  void Clear();

  static constexpr std::size_t kDefaultMaxBytes = 32u << 20;
  explicit TextCache(std::size_t maxBytes = kDefaultMaxBytes) : maxBytes(maxBytes) {}

  // Strings kept, over all fonts and ratios.
  std::size_t Size() const;
  // The estimated bytes of the entries kept: the key, the entry and its
  // node, and the layout (the characters, and a glyph index and position
  // for each). Never above the bound, unless one entry alone passes it.
  std::size_t Bytes() const { return used; }

private:
  struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  using Strings = std::unordered_map<std::string, Entry, StringHash, std::equal_to<>>;
  struct Key {
    int font;
    double ratio;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      return std::hash<int>()(k.font) ^ (std::hash<double>()(k.ratio) << 1);
    }
  };

  Strings& stringsFor(const Key& key);
  static std::size_t entryBytes(std::size_t keyBytes, qsizetype chars);

  std::unordered_map<Key, Strings, KeyHash> byFont;
  Key lastKey{0, 0};
  Strings* last = nullptr;  // the strings of lastKey, the usual case
  std::size_t maxBytes;
  std::size_t used = 0;
};
