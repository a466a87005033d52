#pragma once
// A device context that brackets one repaint of a window: the constructor
// begins the paint cycle (erasing the update region when erasing is
// pending, then validating it), the destructor ends it (copying the
// painted region to the screen) and never raises. It draws through the
// window's client surface, or, when the window has none, through a
// RasterSurface of its own on the window's client image for its lifetime.

#include <memory>

#include "framework/Geometry.h"
#include "framework/TDC.h"

class TWindow;
class RasterSurface;

namespace paint_detail {
// Holds the surface of its own, made before the TDC base needs it.
struct OwnSurface {
  explicit OwnSurface(TWindow& window);
  ~OwnSurface();
  std::unique_ptr<RasterSurface> own;
  Surface* surface;
};
}  // namespace paint_detail

class TPaintDC : private paint_detail::OwnSurface, public TDC {
public:
  explicit TPaintDC(TWindow& window);
  ~TPaintDC() override;

  // The bounding rectangle of the region being painted (empty when the
  // window had nothing to paint).
  const TRect& PaintRect() const { return rect; }

private:
  TWindow& window;
  TRect rect;
};
