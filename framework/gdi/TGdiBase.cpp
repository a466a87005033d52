#include "framework/gdi/TGdiBase.h"

void TGdiBase::CheckValid(GdiHandle handle) {
  if (!handle) throw TXGdi(IDS_GDIFAILURE);
}
