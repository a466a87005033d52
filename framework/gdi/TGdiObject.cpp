#include "framework/gdi/TGdiObject.h"

#include <exception>
#include <limits>
#include <vector>

namespace {

struct Entry {
  GdiHandle handle;
  GdiKind kind;
  std::uint8_t count;  // saturates at 255: such an object is never deleted
};

// Between items the table holds one pen and one font, so a linear search
// beats hashing. It keeps its storage when it empties.
std::vector<Entry>& entries() {
  static std::vector<Entry> table;
  return table;
}

Entry* find(GdiHandle handle) {
  for (Entry& e : entries())
    if (e.handle == handle) return &e;
  return nullptr;
}

constexpr std::uint8_t kSaturated = std::numeric_limits<std::uint8_t>::max();

}  // namespace

TGdiObject::~TGdiObject() noexcept(false) {
  if (!ShouldDelete || !Handle) return;
  if (std::uncaught_exceptions() > 0) {
    try {
      RefDec(Handle);
    } catch (const TXGdi&) {
      // Already unwinding from another error: the refused object stays alive.
    }
    return;
  }
  RefDec(Handle);
}

void TGdiObject::RefAdd(GdiHandle handle, GdiKind kind) {
  if (!handle) return;
  if (Entry* e = find(handle)) {
    if (e->count != kSaturated) ++e->count;
    return;
  }
  entries().push_back(Entry{handle, kind, 1});
}

void TGdiObject::RefInc(GdiHandle handle) {
  if (Entry* e = find(handle))
    if (e->count != kSaturated) ++e->count;
}

void TGdiObject::RefDec(GdiHandle handle, bool wantDelete) {
  Entry* e = find(handle);
  if (!e || e->count == kSaturated) return;
  if (--e->count > 0) return;
  auto& table = entries();
  *e = table.back();
  table.pop_back();
  if (wantDelete && !GdiObjects::DeleteObject(handle)) throw TXGdi(IDS_GDIDELETEFAIL);
}

void TGdiObject::RefForget(GdiHandle handle) {
  if (Entry* e = find(handle)) {
    *e = entries().back();
    entries().pop_back();
  }
}

int TGdiObject::RefCount(GdiHandle handle) {
  const Entry* e = find(handle);
  return e ? e->count : -1;
}

std::size_t TGdiObject::TableSize() { return entries().size(); }
