#include "framework/TPaintDC.h"

#include <QImage>

#include "framework/TWindow.h"
#include "framework/surface/RasterSurface.h"

namespace paint_detail {

OwnSurface::OwnSurface(TWindow& window) : surface(window.GetClientSurface()) {
  if (!surface) {
    QImage& image = window.ClientImage();
    own = std::make_unique<RasterSurface>(image.isNull() ? nullptr : &image);
    surface = own.get();
  }
}

OwnSurface::~OwnSurface() = default;

}  // namespace paint_detail

// The surface exists before BeginPaint erases through the window's own.
TPaintDC::TPaintDC(TWindow& window)
    : OwnSurface(window), TDC(*OwnSurface::surface), window(window), rect(window.BeginPaint()) {}

TPaintDC::~TPaintDC() {
  // Ends the painter of a surface of our own before the screen copy; the
  // paint ends even when a deletion is refused.
  RestoreObjectsAtEnd();
  if (own)
    own->End();
  window.EndPaint();
}
