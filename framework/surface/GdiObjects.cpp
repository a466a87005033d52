#include "framework/surface/GdiObjects.h"

#include <algorithm>

namespace {

// A made object lives in a slot; its handle is the slot index plus a
// generation above the fixed handles, so a stale handle never names a later
// object.
struct Slot {
  std::uint32_t generation = 0;
  bool live = false;
  GdiKind kind = GdiKind::Pen;
  PenDesc pen;
  FontDesc font;
};

constexpr GdiHandle kFirstMade = 16;

// The stock objects and every context's initial objects: handle, stock index
// (-1 for the initial ones, which GetStockObject does not hand out), the
// name traces show, and what the object is.
struct StockObject {
  GdiHandle handle;
  int index;
  const char* name;
  GdiKind kind;
  PenDesc pen;
};

const StockObject kStock[] = {
    {GdiObjects::WhitePen, WHITE_PEN, "WHITE_PEN", GdiKind::Pen, {PS_SOLID, 1, 0x00FFFFFF}},
    {GdiObjects::BlackPen, BLACK_PEN, "BLACK_PEN", GdiKind::Pen, {PS_SOLID, 1, 0}},
    {GdiObjects::NullPen, NULL_PEN, "NULL_PEN", GdiKind::Pen, {PS_NULL, 1, 0}},
    {GdiObjects::SystemFont, SYSTEM_FONT, "SYSTEM_FONT", GdiKind::Font, {}},
    {GdiObjects::DefaultPen, -1, "DEFAULT_PEN", GdiKind::Pen, {PS_SOLID, 1, 0}},
    {GdiObjects::DefaultFont, -1, "DEFAULT_FONT", GdiKind::Font, {}},
};

// Every stock font is the default font.
const FontDesc kStockFont;

const StockObject* stockByHandle(GdiHandle handle) {
  for (const StockObject& s : kStock)
    if (s.handle == handle) return &s;
  return nullptr;
}

const StockObject* stockByIndex(int index) {
  for (const StockObject& s : kStock)
    if (s.index == index && index >= 0) return &s;
  return nullptr;
}

struct Table {
  std::vector<Slot> slots;
  std::vector<std::uint32_t> freeSlots;
  std::vector<GdiObserver*> observers;
  std::size_t live = 0;
  int failCreations = 0;
  int failDeletions = 0;

  GdiHandle handleOf(std::uint32_t index) const {
    return kFirstMade + ((static_cast<GdiHandle>(slots[index].generation) << 32) | index);
  }
  Slot* slotOf(GdiHandle h) {
    if (h < kFirstMade) return nullptr;
    const GdiHandle v = h - kFirstMade;
    const std::uint32_t index = static_cast<std::uint32_t>(v);
    if (index >= slots.size()) return nullptr;
    Slot& s = slots[index];
    if (!s.live || s.generation != static_cast<std::uint32_t>(v >> 32)) return nullptr;
    return &s;
  }
  bool takeFailure(int& counter) {
    if (counter <= 0) return false;
    --counter;
    return true;
  }
  Slot& newSlot(GdiHandle& handle) {
    std::uint32_t index;
    if (!freeSlots.empty()) {
      index = freeSlots.back();
      freeSlots.pop_back();
    } else {
      index = static_cast<std::uint32_t>(slots.size());
      slots.emplace_back();
    }
    Slot& s = slots[index];
    ++s.generation;
    s.live = true;
    ++live;
    handle = handleOf(index);
    return s;
  }
};

Table& table() {
  static Table t;
  return t;
}

}  // namespace

GdiHandle GdiObjects::CreatePen(int style, int width, std::uint32_t color) {
  Table& t = table();
  if (t.takeFailure(t.failCreations)) return 0;
  GdiHandle h;
  Slot& s = t.newSlot(h);
  s.kind = GdiKind::Pen;
  s.pen = PenDesc{style, width, color};
  for (GdiObserver* o : t.observers) o->CreatePen(s.pen, h);
  return h;
}

GdiHandle GdiObjects::CreateFontA(const FontDesc& font) {
  Table& t = table();
  if (t.takeFailure(t.failCreations)) return 0;
  GdiHandle h;
  Slot& s = t.newSlot(h);
  s.kind = GdiKind::Font;
  s.font = font;
  for (GdiObserver* o : t.observers) o->CreateFontA(s.font, h);
  return h;
}

GdiHandle GdiObjects::GetStockObject(int index) {
  const StockObject* stock = stockByIndex(index);
  const GdiHandle h = stock ? stock->handle : 0;
  for (GdiObserver* o : table().observers) o->GetStockObject(index, h);
  return h;
}

bool GdiObjects::DeleteObject(GdiHandle handle) {
  Table& t = table();
  Slot* s = t.slotOf(handle);
  const bool deleted = s && !t.takeFailure(t.failDeletions);
  // Observers still see what the handle names.
  for (GdiObserver* o : t.observers) o->DeleteObject(handle, deleted);
  if (deleted) {
    s->live = false;
    s->font.face.clear();
    s->font.face.shrink_to_fit();
    --t.live;
    t.freeSlots.push_back(static_cast<std::uint32_t>((handle - kFirstMade) & 0xFFFFFFFFu));
  }
  return deleted;
}

const PenDesc* GdiObjects::Pen(GdiHandle handle) {
  if (const StockObject* stock = stockByHandle(handle))
    return stock->kind == GdiKind::Pen ? &stock->pen : nullptr;
  const Slot* s = table().slotOf(handle);
  return s && s->kind == GdiKind::Pen ? &s->pen : nullptr;
}

const FontDesc* GdiObjects::Font(GdiHandle handle) {
  if (const StockObject* stock = stockByHandle(handle))
    return stock->kind == GdiKind::Font ? &kStockFont : nullptr;
  const Slot* s = table().slotOf(handle);
  return s && s->kind == GdiKind::Font ? &s->font : nullptr;
}

int GdiObjects::StockIndex(GdiHandle handle) {
  const StockObject* stock = stockByHandle(handle);
  return stock ? stock->index : -1;
}

const char* GdiObjects::StockName(GdiHandle handle) {
  const StockObject* stock = stockByHandle(handle);
  return stock ? stock->name : nullptr;
}

std::size_t GdiObjects::LiveCount() { return table().live; }

std::vector<GdiHandle> GdiObjects::LiveHandles() {
  Table& t = table();
  std::vector<GdiHandle> out;
  for (std::uint32_t i = 0; i < t.slots.size(); ++i)
    if (t.slots[i].live) out.push_back(t.handleOf(i));
  return out;
}

void GdiObjects::AddObserver(GdiObserver* observer) { table().observers.push_back(observer); }

void GdiObjects::RemoveObserver(GdiObserver* observer) {
  auto& v = table().observers;
  v.erase(std::remove(v.begin(), v.end(), observer), v.end());
}

void GdiObjects::FailNextCreations(int count) { table().failCreations = count; }
void GdiObjects::FailNextDeletions(int count) { table().failDeletions = count; }
