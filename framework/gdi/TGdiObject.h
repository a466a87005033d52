#pragma once
// Pens and fonts with process-wide use counts. An owned object enters the
// table with count 1 when made (RefAdd); every context that selects it adds
// one (RefInc) and drops it again when it gives the object up (RefDec); the
// wrapper's end drops its own. The release that brings the count to 0
// deletes the object, raising TXGdi(32734) if the platform refuses. Handles
// that are not in the table (stock objects, a context's initial objects) are
// ignored by RefInc and RefDec. Counts are 8 bits and saturate: an object
// whose count reaches 255 is never deleted (a leak rather than a deletion
// while still in use).

#include <cstdint>

#include "framework/gdi/TGdiBase.h"

class TGdiObject : public TGdiBase {
public:
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  // Drops the wrapper's count if it owns the handle. Raises TXGdi(32734) when
  // that deletes the object and the platform refuses, unless an exception is
  // already on its way.
  ~TGdiObject() noexcept(false);

  static void RefAdd(GdiHandle handle, GdiKind kind);
  static void RefInc(GdiHandle handle);
  // Drops one count; at 0 removes the entry and, if wantDelete, deletes the
  // object (raising TXGdi(32734) on failure).
  static void RefDec(GdiHandle handle, bool wantDelete = true);
  // Removes a handle from the table without deleting its object: the caller
  // takes the object over.
  static void RefForget(GdiHandle handle);
  // The count of a handle, or -1 when it is not in the table.
  static int RefCount(GdiHandle handle);
  // Entries in the table.
  static std::size_t TableSize();

protected:
  TGdiObject() = default;
  TGdiObject(GdiHandle handle, bool shouldDelete) : TGdiBase(handle, shouldDelete) {}
};
