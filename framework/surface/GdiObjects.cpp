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

struct Table {
  std::vector<Slot> slots;
  std::vector<std::uint32_t> freeSlots;
  std::vector<GdiObserver*> observers;
  std::size_t live = 0;
  int failCreations = 0;
  int failDeletions = 0;

  // Stock and initial objects.
  PenDesc whitePen{PS_SOLID, 1, 0x00FFFFFF};
  PenDesc blackPen{PS_SOLID, 1, 0};
  PenDesc nullPen{PS_NULL, 1, 0};
  FontDesc systemFont;

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
  GdiHandle h = 0;
  switch (index) {
    case WHITE_PEN: h = WhitePen; break;
    case BLACK_PEN: h = BlackPen; break;
    case NULL_PEN: h = NullPen; break;
    case SYSTEM_FONT: h = SystemFont; break;
    default: break;
  }
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
  Table& t = table();
  switch (handle) {
    case WhitePen: return &t.whitePen;
    case BlackPen:
    case DefaultPen: return &t.blackPen;
    case NullPen: return &t.nullPen;
    default: break;
  }
  const Slot* s = t.slotOf(handle);
  return s && s->kind == GdiKind::Pen ? &s->pen : nullptr;
}

const FontDesc* GdiObjects::Font(GdiHandle handle) {
  Table& t = table();
  if (handle == SystemFont || handle == DefaultFont) return &t.systemFont;
  const Slot* s = t.slotOf(handle);
  return s && s->kind == GdiKind::Font ? &s->font : nullptr;
}

int GdiObjects::StockIndex(GdiHandle handle) {
  switch (handle) {
    case WhitePen: return WHITE_PEN;
    case BlackPen: return BLACK_PEN;
    case NullPen: return NULL_PEN;
    case SystemFont: return SYSTEM_FONT;
    default: return -1;
  }
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
