#include "framework/surface/RasterFont.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <initializer_list>
#include <list>
#include <map>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include "base/TextBytes.h"

namespace {

constexpr int kMaxPixels = RasterFontMaxPixels;
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

// What decides a cell's height: family, weight and style.
using ShapeKey = std::tuple<std::string, bool, int, bool>;

// The cell height of shape `shape` (whose font is `f`) at `pixels`. Each
// measurement loads Qt's font engine for that size (a font match), and Qt
// soon drops an engine that no font holds. So measurements are kept, since
// the searches for neighbouring cells measure the same sizes, and the fonts
// of the last few hold their engines, since the font made after a search
// has the size it measured last or nearly last.
double cellHeight(const ShapeKey& shape, QFont f, int pixels) {
  using Key = std::tuple<ShapeKey, int>;
  static std::map<Key, double> measured;
  static std::deque<QFont> holding;
  const Key key{shape, pixels};
  if (auto it = measured.find(key); it != measured.end()) return it->second;
  f.setPixelSize(pixels);
  const double cell = QFontMetricsF(f).height();
  holding.push_back(f);
  if (holding.size() > 4) holding.pop_front();
  if (measured.size() > 4096) measured.clear();
  measured.emplace(key, cell);
  return cell;
}

// The pixel size per pixel of cell height, for one shape: the cell grows
// nearly in proportion to the size, so one measurement at a large size
// predicts the size for any cell to within a pixel or two. Measured once
// per shape.
double pixelsPerCell(const ShapeKey& key, const QFont& f) {
  constexpr int kReference = 256;
  static std::map<ShapeKey, double> found;
  if (auto it = found.find(key); it != found.end()) return it->second;
  const double cell = cellHeight(key, f, kReference);
  const double ratio = cell > 0 ? kReference / cell : 1;
  if (found.size() > 4096) found.clear();
  found.emplace(key, ratio);
  return ratio;
}

// The largest pixel size whose cell fits `cell` (1 when none does), searched
// once per shape and cell. The cell height never shrinks as the size grows,
// so the search starts at the predicted size and widens a bracket from there
// (the usual answer costs two measurements, where halving 1..cell costs
// log2(cell)), then halves it.
int pixelsForCell(const FontDesc& d, int cell) {
  using Key = std::tuple<ShapeKey, int>;
  static std::map<Key, int> found;
  const ShapeKey shape{d.face, d.hasFace, d.weight, d.italic != 0};
  const Key key{shape, cell};
  if (auto it = found.find(key); it != found.end()) return it->second;
  const QFont f = baseFont(d);
  const auto fits = [&shape, &f, cell](int pixels) { return cellHeight(shape, f, pixels) <= cell; };
  const int most = std::min(cell, kMaxPixels);
  const int guess =
      static_cast<int>(std::clamp(cell * pixelsPerCell(shape, f), 1.0, static_cast<double>(most)));
  int lo = 1, hi = most;  // every size above hi is too large; lo fits, or is 1
  if (fits(guess)) {
    lo = guess;
    for (int step = 1; lo < hi; step *= 2) {
      const int probe = std::min(hi, lo + step);
      if (!fits(probe)) {
        hi = probe - 1;
        break;
      }
      lo = probe;
    }
  } else {
    hi = guess - 1;
    for (int step = 1; lo < hi; step *= 2) {
      const int probe = std::max(lo, hi - step + 1);
      if (fits(probe)) {
        lo = probe;
        break;
      }
      hi = probe - 1;
    }
  }
  while (lo < hi) {
    const int mid = lo + (hi - lo + 1) / 2;
    if (fits(mid))
      lo = mid;
    else
      hi = mid - 1;
  }
  if (found.size() > 4096) found.clear();
  found.emplace(key, lo);
  return lo;
}

struct DescHash {
  std::size_t operator()(const FontDesc& d) const {
    std::size_t h = std::hash<std::string_view>()(d.face);
    for (const long long v : std::initializer_list<long long>{
             d.height, d.width, d.escapement, d.orientation, d.weight, d.italic, d.underline, d.strikeOut,
             d.charSet, d.outPrecision, d.clipPrecision, d.quality, d.pitchAndFamily, d.hasFace})
      h = h * 1000003u ^ std::hash<long long>()(v);
    return h;
  }
};

// The kept fonts, most recently asked for first, and an index into them.
struct FontCache {
  using Order = std::list<std::pair<FontDesc, std::shared_ptr<const RasterFont>>>;
  Order order;
  std::unordered_map<FontDesc, Order::iterator, DescHash> index;
  int nextId = 0;
};

FontCache& fontCache() {
  static FontCache cache;
  return cache;
}

std::shared_ptr<RasterFont> makeFont(const FontDesc& d, int id) {
  auto rf = std::make_shared<RasterFont>();
  rf->font = baseFont(d);
  rf->font.setPixelSize(RasterPixelSize(d));
  const QFontMetricsF m(rf->font);
  rf->ascent = m.ascent();
  rf->height = m.height();
  rf->id = id;
  return rf;
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
  FontCache& c = fontCache();
  if (auto it = c.index.find(d); it != c.index.end()) {
    c.order.splice(c.order.begin(), c.order, it->second);
    return it->second->second;
  }
  // Made before anything leaves: a failure keeps the cache as it was.
  std::shared_ptr<const RasterFont> rf = makeFont(d, c.nextId + 1);
  ++c.nextId;
  if (c.order.size() >= RasterFontCacheCapacity) {
    c.index.erase(c.order.back().first);
    c.order.pop_back();
  }
  c.order.emplace_front(d, rf);
  c.index.emplace(d, c.order.begin());
  return rf;
}

std::size_t RasterFontCacheSize() { return fontCache().order.size(); }
