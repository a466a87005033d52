#include "framework/window/TPaintDC.h"

#include "framework/window/TWindow.h"

TPaintDC::TPaintDC(TWindow& window)
    : TDC(window.ClientSurface()), window(window), rect(window.BeginPaint()) {}

TPaintDC::~TPaintDC() noexcept {
  // The paint ends even when a deletion is refused.
  RestoreObjectsAtEnd();
  window.EndPaint();
}
