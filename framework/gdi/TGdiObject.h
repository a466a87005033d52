#pragma once
// Pens and fonts with process-wide use counts, kept by the object registry
// (GdiObjects) beside each object's description. An owned object is counted
// from 1 when made (RefAdd); every context that selects it adds one (RefInc)
// and drops it again when it gives the object up (RefDec); the wrapper's end
// drops its own. The release that brings the count to 0 deletes the object,
// raising TXGdi(32734) if the platform refuses. Handles of stock objects and
// of a context's initial objects are ignored by all three. Counts saturate
// at 255: such an object is never deleted.

#include "framework/gdi/TGdiBase.h"

class TGdiObject : public TGdiBase {
public:
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  // Drops the wrapper's count if it owns the handle. Raises TXGdi(32734) when
  // that deletes the object and the platform refuses, unless an exception is
  // already on its way.
  ~TGdiObject() noexcept(false);

  static void RefAdd(GdiHandle handle) { GdiObjects::AddUse(handle); }
  static void RefInc(GdiHandle handle) { GdiObjects::Use(handle); }
  // Drops one count; at 0 deletes the object, raising TXGdi(32734) when the
  // platform refuses (the object then stays, no longer counted).
  static void RefDec(GdiHandle handle);

protected:
  TGdiObject() = default;
};
