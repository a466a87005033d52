#pragma once
// A pen. A solid pen of width 1 in pure black or pure white is the stock
// pen, which the wrapper does not own; any other pen is made and owned, and
// TXGdi(32739) is raised if the platform makes none.

#include "framework/gdi/TColor.h"
#include "framework/gdi/TGdiObject.h"

class TPen : public TGdiObject {
public:
  explicit TPen(TColor color, int width = 1, int style = PS_SOLID);
};
