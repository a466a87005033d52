#include "framework/gdi/TGdiBase.h"

void TGdiBase::CheckValid(GdiHandle handle, unsigned resId) {
  if (!handle) throw TXGdi(resId);
}
