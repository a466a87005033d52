#pragma once
// A device context that brackets one repaint of a window: the constructor
// begins the paint cycle (erasing the update region when erasing is
// pending, then validating it), the destructor ends it (copying the painted
// region and whatever was drawn meanwhile to the screen) and never raises.
// It draws through the window's client surface.

#include "framework/gdi/TDC.h"
#include "framework/window/Geometry.h"

class TWindow;

class TPaintDC : public TDC {
public:
  explicit TPaintDC(TWindow& window);
  ~TPaintDC() noexcept override;

  // The bounding rectangle of the region being painted (empty when the
  // window had nothing to paint).
  const TRect& PaintRect() const { return rect; }

private:
  TWindow& window;
  TRect rect;
};
