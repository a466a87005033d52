#pragma once
// The root of the graphics wrappers: a platform handle and whether the
// wrapper owns it. Raises TXGdi (TGdiBase::TXGdi) when the platform gives
// no handle (id 32739) or refuses to delete one (id 32734).

#include "framework/report/Exceptions.h"
#include "framework/surface/GdiObjects.h"

class TGdiBase {
public:
  using TXGdi = ::TXGdi;

  GdiHandle GetHandle() const { return Handle; }

protected:
  TGdiBase() = default;
  // Raises TXGdi(32739) when the handle is 0.
  static void CheckValid(GdiHandle handle);

  GdiHandle Handle = 0;
  bool ShouldDelete = false;

private:
  friend struct GdiProbe;  // the tests ask whether a wrapper owns its handle
};
