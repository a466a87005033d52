#include "framework/surface/GdiObjects.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

// Made objects' handles start above the fixed ones.
constexpr GdiHandle kFirstMade = 16;

constexpr std::uint8_t kSaturated = std::numeric_limits<std::uint8_t>::max();

// The stock objects and every context's initial objects, in handle order
// from 1: stock index (-1 for the initial ones, which GetStockObject does
// not hand out), the name traces show, and what the object is.
struct StockObject {
  int index;
  const char* name;
  GdiKind kind;
  PenDesc pen;
};

const StockObject kStock[] = {
    {WHITE_PEN, "WHITE_PEN", GdiKind::Pen, {PS_SOLID, 1, 0x00FFFFFF}},
    {BLACK_PEN, "BLACK_PEN", GdiKind::Pen, {PS_SOLID, 1, 0}},
    {-1, "DEFAULT_PEN", GdiKind::Pen, {PS_SOLID, 1, 0}},
    {-1, "DEFAULT_FONT", GdiKind::Font, {}},
};
static_assert(GdiObjects::WhitePen == 1 && GdiObjects::BlackPen == 2 && GdiObjects::DefaultPen == 3 &&
              GdiObjects::DefaultFont == std::size(kStock));

// Every stock font is the default font.
const FontDesc kStockFont;

const StockObject* stockByHandle(GdiHandle handle) {
  return handle >= 1 && handle <= std::size(kStock) ? &kStock[handle - 1] : nullptr;
}

GdiHandle stockByIndex(int index) {
  for (std::size_t i = 0; i < std::size(kStock); ++i)
    if (index >= 0 && kStock[i].index == index) return i + 1;
  return 0;
}

bool refuse(int& counter) {
  if (counter <= 0) return false;
  --counter;
  return true;
}

}  // namespace

GdiObjects::Registry& GdiObjects::registry() {
  static Registry r;
  return r;
}

GdiHandle GdiObjects::handleOf(std::uint32_t index) {
  return kFirstMade + ((static_cast<GdiHandle>(registry().entries[index].generation) << 32) | index);
}

GdiObjects::Entry* GdiObjects::entryOf(GdiHandle handle) {
  if (handle < kFirstMade) return nullptr;
  Registry& r = registry();
  const GdiHandle v = handle - kFirstMade;
  const std::uint32_t index = static_cast<std::uint32_t>(v);
  if (index >= r.entries.size()) return nullptr;
  Entry& s = r.entries[index];
  if (!s.live || s.generation != static_cast<std::uint32_t>(v >> 32)) return nullptr;
  return &s;
}

GdiObjects::Entry* GdiObjects::newEntry(GdiKind kind, GdiHandle& handle) {
  Registry& r = registry();
  if (refuse(r.refuseCreations)) return nullptr;
  std::uint32_t index;
  if (!r.freeEntries.empty()) {
    index = r.freeEntries.back();
    r.freeEntries.pop_back();
  } else {
    index = static_cast<std::uint32_t>(r.entries.size());
    r.entries.emplace_back();
  }
  Entry& s = r.entries[index];
  ++s.generation;
  s.live = true;
  s.kind = kind;
  s.count = 0;
  handle = handleOf(index);
  return &s;
}

GdiHandle GdiObjects::CreatePen(int style, int width, std::uint32_t color) {
  GdiHandle h = 0;
  Entry* s = newEntry(GdiKind::Pen, h);
  if (!s) return 0;
  s->pen = PenDesc{style, width, color};
  for (GdiObserver* o : registry().observers) o->CreatePen(s->pen, h);
  return h;
}

GdiHandle GdiObjects::CreateFontA(const FontDesc& font) {
  GdiHandle h = 0;
  Entry* s = newEntry(GdiKind::Font, h);
  if (!s) return 0;
  s->font = font;
  for (GdiObserver* o : registry().observers) o->CreateFontA(s->font, h);
  return h;
}

GdiHandle GdiObjects::GetStockObject(int index) {
  const GdiHandle h = stockByIndex(index);
  for (GdiObserver* o : registry().observers) o->GetStockObject(index, h);
  return h;
}

bool GdiObjects::DeleteObject(GdiHandle handle) {
  Registry& r = registry();
  Entry* s = entryOf(handle);
  const bool deleted = s && !refuse(r.refuseDeletions);
  // Observers still see what the handle names.
  for (GdiObserver* o : r.observers) o->DeleteObject(handle, deleted);
  if (deleted) {
    s->live = false;
    s->count = 0;
    s->font.face.clear();
    s->font.face.shrink_to_fit();
    r.freeEntries.push_back(static_cast<std::uint32_t>((handle - kFirstMade) & 0xFFFFFFFFu));
  }
  return deleted;
}

void GdiObjects::AddUse(GdiHandle handle) {
  if (Entry* s = entryOf(handle))
    if (s->count != kSaturated) ++s->count;
}

void GdiObjects::Use(GdiHandle handle) {
  if (Entry* s = entryOf(handle))
    if (s->count != 0 && s->count != kSaturated) ++s->count;
}

bool GdiObjects::DropUse(GdiHandle handle) {
  Entry* s = entryOf(handle);
  if (!s || s->count == 0 || s->count == kSaturated) return true;
  if (--s->count > 0) return true;
  return DeleteObject(handle);
}

const PenDesc* GdiObjects::Pen(GdiHandle handle) {
  if (const StockObject* stock = stockByHandle(handle))
    return stock->kind == GdiKind::Pen ? &stock->pen : nullptr;
  const Entry* s = entryOf(handle);
  return s && s->kind == GdiKind::Pen ? &s->pen : nullptr;
}

const FontDesc* GdiObjects::Font(GdiHandle handle) {
  if (const StockObject* stock = stockByHandle(handle))
    return stock->kind == GdiKind::Font ? &kStockFont : nullptr;
  const Entry* s = entryOf(handle);
  return s && s->kind == GdiKind::Font ? &s->font : nullptr;
}

const char* GdiObjects::StockName(GdiHandle handle) {
  const StockObject* stock = stockByHandle(handle);
  return stock ? stock->name : nullptr;
}

void GdiObjects::AddObserver(GdiObserver* observer) { registry().observers.push_back(observer); }

void GdiObjects::RemoveObserver(GdiObserver* observer) {
  auto& v = registry().observers;
  v.erase(std::remove(v.begin(), v.end(), observer), v.end());
}
