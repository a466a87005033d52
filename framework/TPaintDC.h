#pragma once
// Brackets one repaint of a window: the constructor begins the paint cycle
// (erasing the update region when erasing is pending, then validating it),
// the destructor ends it (copying the painted region to the screen).

#include "framework/Geometry.h"

class TWindow;

class TPaintDC {
public:
  explicit TPaintDC(TWindow& window);
  ~TPaintDC();
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;

  // The bounding rectangle of the region being painted (empty when the
  // window had nothing to paint).
  const TRect& PaintRect() const { return rect; }

private:
  TWindow& window;
  TRect rect;
};
