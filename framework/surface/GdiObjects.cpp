#include "framework/surface/GdiObjects.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

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

constinit GdiObjects::Registry GdiObjects::registry{};

GdiObjects::Entry* GdiObjects::newEntry(GdiKind kind, GdiHandle& handle) {
  if (refuse(registry.refuseCreations)) return nullptr;
  std::uint32_t index;
  if (!registry.freeEntries.empty()) {
    index = registry.freeEntries.back();
    registry.freeEntries.pop_back();
  } else {
    index = static_cast<std::uint32_t>(registry.entries.size());
    registry.entries.emplace_back();
  }
  Entry& e = registry.entries[index];
  ++e.generation;
  e.live = true;
  e.kind = kind;
  e.count = 0;
  handle = handleOf(index);
  return &e;
}

bool GdiObjects::erase(Entry& e, GdiHandle handle) {
  const bool deleted = !refuse(registry.refuseDeletions);
  // Observers still see what the handle names.
  for (GdiObserver* o : registry.observers) o->DeleteObject(handle, deleted);
  if (!deleted) return false;
  e.live = false;
  e.count = 0;
  if (e.kind == GdiKind::Font) {
    e.font.face.clear();
    e.font.face.shrink_to_fit();
  }
  registry.freeEntries.push_back(static_cast<std::uint32_t>(handle - kFirstMade));
  return true;
}

GdiHandle GdiObjects::CreatePen(int style, int width, std::uint32_t color) {
  GdiHandle h = 0;
  Entry* e = newEntry(GdiKind::Pen, h);
  if (!e) return 0;
  e->pen = PenDesc{style, width, color};
  for (GdiObserver* o : registry.observers) o->CreatePen(e->pen, h);
  return h;
}

GdiHandle GdiObjects::CreateFontA(const FontDesc& font) {
  GdiHandle h = 0;
  Entry* e = newEntry(GdiKind::Font, h);
  if (!e) return 0;
  e->font = font;
  for (GdiObserver* o : registry.observers) o->CreateFontA(e->font, h);
  return h;
}

GdiHandle GdiObjects::GetStockObject(int index) {
  const GdiHandle h = stockByIndex(index);
  for (GdiObserver* o : registry.observers) o->GetStockObject(index, h);
  return h;
}

bool GdiObjects::DeleteObject(GdiHandle handle) {
  if (Entry* e = entryOf(handle)) return erase(*e, handle);
  for (GdiObserver* o : registry.observers) o->DeleteObject(handle, false);
  return false;
}

void GdiObjects::AddUse(GdiHandle handle) {
  if (Entry* e = entryOf(handle))
    if (e->count != kSaturated) ++e->count;
}

void GdiObjects::Use(GdiHandle handle) {
  if (Entry* e = entryOf(handle))
    if (e->count != 0 && e->count != kSaturated) ++e->count;
}

bool GdiObjects::DropUse(GdiHandle handle) {
  Entry* e = entryOf(handle);
  if (!e || e->count == 0 || e->count == kSaturated) return true;
  if (--e->count > 0) return true;
  return erase(*e, handle);
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

void GdiObjects::AddObserver(GdiObserver* observer) { registry.observers.push_back(observer); }

void GdiObjects::RemoveObserver(GdiObserver* observer) {
  auto& v = registry.observers;
  v.erase(std::remove(v.begin(), v.end(), observer), v.end());
}
