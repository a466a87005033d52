#include "framework/gdi/TGdiObject.h"

#include <exception>

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

void TGdiObject::RefDec(GdiHandle handle) {
  if (!GdiObjects::DropUse(handle)) throw TXGdi(IDS_GDIDELETEFAIL);
}
