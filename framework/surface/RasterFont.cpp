#include "framework/surface/RasterFont.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include "framework/surface/TextBytes.h"

namespace {

constexpr int kMaxPixels = 16384;
constexpr int kDefaultCell = 16;

QFont baseFont(const FontDesc& d) {
  QFont f;
  if (d.hasFace && !d.face.empty())
    f.setFamily(DecodeTextBytes(d.face.data(), static_cast<int>(std::min<std::size_t>(d.face.size(), 4096))));
  const int weight = d.weight == 0 ? 400 : std::clamp(d.weight, 1, 1000);
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setItalic(d.italic != 0);
  f.setUnderline(d.underline != 0);
  f.setStrikeOut(d.strikeOut != 0);
  return f;
}

double cellHeight(QFont f, int pixels) {
  f.setPixelSize(pixels);
  return QFontMetricsF(f).height();
}

// The largest pixel size whose cell fits `cell`, searched once per family,
// weight, style and cell.
int pixelsForCell(const FontDesc& d, int cell) {
  using Key = std::tuple<std::string, bool, int, bool, int>;
  static std::map<Key, int> found;
  const Key key{d.face, d.hasFace, d.weight, d.italic != 0, cell};
  if (auto it = found.find(key); it != found.end()) return it->second;
  const QFont f = baseFont(d);
  int lo = 1, hi = std::min(cell, kMaxPixels);
  if (cellHeight(f, lo) > cell) {
    hi = lo;
  } else {
    while (lo < hi) {  // invariant: lo fits
      const int mid = lo + (hi - lo + 1) / 2;
      if (cellHeight(f, mid) <= cell)
        lo = mid;
      else
        hi = mid - 1;
    }
  }
  if (found.size() > 4096) found.clear();
  found.emplace(key, lo);
  return lo;
}

}  // namespace

int RasterPixelSize(const FontDesc& d) {
  if (d.height < 0) {
    const long long em = -static_cast<long long>(d.height);
    return static_cast<int>(std::min<long long>(em, kMaxPixels));
  }
  return pixelsForCell(d, d.height == 0 ? kDefaultCell : d.height);
}

std::shared_ptr<const RasterFont> RasterFontFor(const FontDesc& d) {
  struct Entry {
    FontDesc desc;
    std::shared_ptr<RasterFont> font;
  };
  static std::vector<Entry> cache;
  static int nextId = 0;
  for (Entry& e : cache)
    if (e.desc == d) return e.font;
  if (cache.size() >= 64) cache.erase(cache.begin());
  auto rf = std::make_shared<RasterFont>();
  rf->font = baseFont(d);
  rf->font.setPixelSize(RasterPixelSize(d));
  const QFontMetricsF m(rf->font);
  rf->ascent = m.ascent();
  rf->height = m.height();
  rf->id = ++nextId;
  cache.push_back(Entry{d, rf});
  return rf;
}
