#include "framework/gdi/TPen.h"

TPen::TPen(TColor color, int width, int style) {
  if (width == 1 && style == PS_SOLID && (color.GetValue() == 0 || color.GetValue() == 0x00FFFFFF)) {
    Handle = GdiObjects::GetStockObject(color.GetValue() == 0 ? BLACK_PEN : WHITE_PEN);
    ShouldDelete = false;
    return;
  }
  Handle = GdiObjects::CreatePen(style, width, color.GetValue());
  CheckValid(Handle);
  ShouldDelete = true;
  RefAdd(Handle);
}
