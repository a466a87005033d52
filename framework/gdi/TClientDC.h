#pragma once
// The device context of a window's client area, drawing on the surface that
// stands for it (the window's backing image, or a recording surface). The
// surface must outlive the context; the context's end restores its initial
// pen and font.

#include "framework/gdi/TDC.h"

class TClientDC : public TDC {
public:
  explicit TClientDC(Surface& surface) : TDC(surface) {}
};
