#pragma once
// Laid-out texts for the raster surface. Qt's drawText spends most of its
// time laying text out; a QStaticText laid out once and drawn many times is
// up to three times faster. Entries are kept per font and per device pixel
// ratio, since a layout is made for the resolution it is drawn at. A font's
// strings are dropped when they grow past a count, and those of every font
// when strings of too many fonts and ratios are kept.

#include <QStaticText>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "framework/surface/RasterFont.h"

class TextCache {
public:
  struct Entry {
    QStaticText text;
    double advance = 0;  // logical pixels
  };

  // The layout of the `count` bytes at `text` (count > 0) in `font`, to be
  // drawn on a device of pixel ratio `ratio`. The reference is valid until
  // the next call.
  const Entry& Get(const RasterFont& font, double ratio, const char* text, int count);
  void Clear();

  // Strings kept, over all fonts and ratios.
  std::size_t Size() const;

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

  std::unordered_map<Key, Strings, KeyHash> byFont;
  Key lastKey{0, 0};
  Strings* last = nullptr;  // the strings of lastKey, the usual case
};
