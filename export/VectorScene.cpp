#include "export/VectorScene.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// A drawing's identity spread over 64 bits (splitmix64's finaliser).
std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
  h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBull;
  return h ^ (h >> 31);
}

// How many of the eight values a kind uses.
int valuesOf(std::uint8_t kind) {
  static const int counts[] = {4, 3, 8, 5};
  return counts[kind];
}

template <class T>
std::uint32_t intern(std::vector<T>& table, const T& value) {
  const auto at = std::find(table.begin(), table.end(), value);
  if (at != table.end()) return static_cast<std::uint32_t>(at - table.begin());
  table.push_back(value);
  return static_cast<std::uint32_t>(table.size() - 1);
}

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

}  // namespace

VectorScene::VectorScene(int width, int height) : width(width), height(height) {
  pen = intern(pens, *GdiObjects::Pen(GdiObjects::DefaultPen));
  font = intern(fonts, *GdiObjects::Font(GdiObjects::DefaultFont));
  origin = originIndex();
  rehash(1024);
}

std::uint32_t VectorScene::originIndex() { return intern(origins, std::make_pair(orgX, orgY)); }

std::uint32_t VectorScene::textStyleIndex() {
  return intern(textStyles, TextStyle{font, textColor, textAlign, bkMode});
}

void VectorScene::MoveToEx(int x, int y) {
  curX = x;
  curY = y;
  run = 0;
  restartPending = true;
}

void VectorScene::LineTo(int x, int y) {
  Drawing d{Kind::Line, true, restartPending, pen, origin, {curX, curY, x, y, 0, 0, 0, 0}, run};
  add(d);
  run = mix(mix(run + 1, (std::uint64_t(std::uint32_t(curX)) << 32) | std::uint32_t(curY)),
            (std::uint64_t(std::uint32_t(x)) << 32) | std::uint32_t(y));
  restartPending = false;
  curX = x;
  curY = y;
}

void VectorScene::TextOutA(int x, int y, const char* text, int count) {
  if (count <= 0 || !text) return;
  Drawing d{Kind::Text, true, false, textStyleIndex(), origin, {x, y, count, 0, 0, 0, 0, 0}, texts.size()};
  texts.append(text, static_cast<std::size_t>(count));
  add(d);
}

void VectorScene::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  add(Drawing{Kind::Arc, true, false, pen, origin, {left, top, right, bottom, xStart, yStart, xEnd, yEnd}, 0});
}

void VectorScene::EraseBkgnd(int x, int y, int w, int h, std::uint32_t color) {
  run = 0;
  restartPending = true;
  // Device coordinates, in 64 bits: x + w may pass the int range.
  const long long right = static_cast<long long>(x) + w, bottom = static_cast<long long>(y) + h;
  if (x <= 0 && y <= 0 && right >= width && bottom >= height) clear();
  add(Drawing{Kind::Erase, true, false, 0, 0, {x, y, w, h, static_cast<std::int32_t>(color), 0, 0, 0}, 0});
}

std::uint32_t VectorScene::SetTextColor(std::uint32_t color) {
  std::swap(textColor, color);
  return color;
}

unsigned VectorScene::SetTextAlign(unsigned flags) {
  std::swap(textAlign, flags);
  return flags;
}

int VectorScene::SetBkMode(int mode) {
  std::swap(bkMode, mode);
  return mode;
}

GdiHandle VectorScene::SelectObject(GdiHandle object) {
  if (const PenDesc* p = GdiObjects::Pen(object)) {
    pen = intern(pens, *p);
    run = 0;
    restartPending = true;
    std::swap(penHandle, object);
    return object;
  }
  if (const FontDesc* f = GdiObjects::Font(object)) {
    font = intern(fonts, *f);
    std::swap(fontHandle, object);
    return object;
  }
  return 0;
}

void VectorScene::SetViewportOrgEx(int x, int y) {
  orgX = x;
  orgY = y;
  origin = originIndex();
  run = 0;
  restartPending = true;
}

std::uint64_t VectorScene::hashOf(const Drawing& d) const {
  std::uint64_t h = mix(static_cast<std::uint64_t>(d.kind), (std::uint64_t(d.style) << 32) | d.origin);
  const auto kind = static_cast<std::uint8_t>(d.kind);
  for (int i = 0; i < valuesOf(kind); ++i) h = mix(h, std::uint32_t(d.v[i]));
  if (d.kind == Kind::Line) h = mix(h, d.extra ^ d.restart);
  if (d.kind == Kind::Text)
    for (std::int32_t i = 0; i < d.v[2]; ++i) h = mix(h, static_cast<unsigned char>(texts[d.extra + i]));
  return h;
}

bool VectorScene::same(const Drawing& a, const Drawing& b) const {
  if (a.kind != b.kind || a.style != b.style || a.origin != b.origin) return false;
  if (std::memcmp(a.v, b.v, sizeof(std::int32_t) * valuesOf(static_cast<std::uint8_t>(a.kind))) != 0)
    return false;
  if (a.kind == Kind::Line) return a.extra == b.extra && a.restart == b.restart;
  if (a.kind == Kind::Text)
    return std::memcmp(texts.data() + a.extra, texts.data() + b.extra, static_cast<std::size_t>(a.v[2])) == 0;
  return true;
}

std::size_t VectorScene::slotOf(const Drawing& d, std::uint64_t hash) const {
  const std::size_t mask = table.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask)
    if (table[slot] == 0 || same(drawings[table[slot] - 1], d)) return slot;
}

void VectorScene::rehash(std::size_t slots) {
  table.assign(slots, 0);
  for (std::size_t i = 0; i < drawings.size(); ++i)
    if (drawings[i].alive) table[slotOf(drawings[i], hashOf(drawings[i]))] = static_cast<std::uint32_t>(i + 1);
}

void VectorScene::add(const Drawing& d) {
  const std::size_t slot = slotOf(d, hashOf(d));
  if (table[slot] != 0) {
    drawings[table[slot] - 1].alive = false;
    --live;
  }
  drawings.push_back(d);
  table[slot] = static_cast<std::uint32_t>(drawings.size());
  ++live;
  if (2 * live > table.size()) rehash(table.size() * 2);
  if (drawings.size() - live > live / 2 + 4096) compact();
}

void VectorScene::compact() {
  std::string keptTexts;
  std::size_t n = 0;
  for (const Drawing& d : drawings) {
    if (!d.alive) continue;
    Drawing& kept = drawings[n++];
    kept = d;
    if (kept.kind == Kind::Text) {
      kept.extra = keptTexts.size();
      keptTexts.append(texts, d.extra, static_cast<std::size_t>(d.v[2]));
    }
  }
  drawings.resize(n);
  texts.swap(keptTexts);
  rehash(table.size());
}

void VectorScene::clear() {
  drawings.clear();
  texts.clear();
  live = 0;
  std::fill(table.begin(), table.end(), 0);
}

void VectorScene::Paint(Surface& onto) const { Painter(*this, onto).Run(Painter::Clock::time_point::max()); }

VectorScene::Painter::Painter(const VectorScene& scene, Surface& onto)
    : scene(scene),
      onto(onto),
      penHandles(scene.pens.size(), 0),
      fontHandles(scene.fonts.size(), 0),
      selectedPen(kNone),
      selectedFont(kNone),
      at(kNone) {}

VectorScene::Painter::~Painter() {
  onto.SelectObject(GdiObjects::DefaultPen);
  onto.SelectObject(GdiObjects::DefaultFont);
  for (GdiHandle h : penHandles)
    if (h) GdiObjects::DeleteObject(h);
  for (GdiHandle h : fontHandles)
    if (h) GdiObjects::DeleteObject(h);
}

void VectorScene::Painter::usePen(std::uint32_t index) {
  if (selectedPen == index) return;
  const PenDesc& p = scene.pens[index];
  if (!penHandles[index]) penHandles[index] = GdiObjects::CreatePen(p.style, p.width, p.color);
  onto.SelectObject(penHandles[index]);
  selectedPen = index;
}

bool VectorScene::Painter::Run(Clock::time_point until) {
  constexpr std::size_t kBatch = 1024;  // drawings between two looks at the clock
  const std::vector<Drawing>& drawings = scene.drawings;
  while (next < drawings.size()) {
    const std::size_t stop = std::min(drawings.size(), next + kBatch);
    for (; next < stop; ++next)
      if (drawings[next].alive) draw(drawings[next]);
    if (next < drawings.size() && Clock::now() >= until) return false;
  }
  return true;
}

void VectorScene::Painter::draw(const Drawing& d) {
  if (d.kind != Kind::Erase && d.origin != at) {
    onto.SetViewportOrgEx(scene.origins[d.origin].first, scene.origins[d.origin].second);
    at = d.origin;
  }
  switch (d.kind) {
    case Kind::Line:
      usePen(d.style);
      if (d.restart || x != d.v[0] || y != d.v[1]) onto.MoveToEx(d.v[0], d.v[1]);
      onto.LineTo(d.v[2], d.v[3]);
      x = d.v[2];
      y = d.v[3];
      break;
    case Kind::Arc:
      usePen(d.style);
      onto.Arc(d.v[0], d.v[1], d.v[2], d.v[3], d.v[4], d.v[5], d.v[6], d.v[7]);
      break;
    case Kind::Text: {
      const TextStyle& s = scene.textStyles[d.style];
      if (selectedFont != s.font) {
        if (!fontHandles[s.font]) fontHandles[s.font] = GdiObjects::CreateFontA(scene.fonts[s.font]);
        onto.SelectObject(fontHandles[s.font]);
        selectedFont = s.font;
      }
      if (color != s.color) color = s.color, onto.SetTextColor(color);
      if (align != s.align) align = s.align, onto.SetTextAlign(align);
      if (mode != s.bkMode) mode = s.bkMode, onto.SetBkMode(mode);
      onto.TextOutA(d.v[0], d.v[1], scene.texts.data() + d.extra, d.v[2]);
      break;
    }
    case Kind::Erase:
      onto.EraseBkgnd(d.v[0], d.v[1], d.v[2], d.v[3], static_cast<std::uint32_t>(d.v[4]));
      break;
  }
}
