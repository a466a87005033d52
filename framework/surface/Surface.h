#pragma once
// The drawing-surface seam. A device context (TDC) forwards each of its
// operations to one Surface; the methods mirror the platform's calls one to
// one. Coordinates are logical units (one pixel), y down, relative to the
// viewport origin; colours are 0x00BBGGRR values. Object creation and
// deletion are process-wide (GdiObjects); a surface that wants them in its
// call order observes that registry.

#include <cstdint>

#include "framework/surface/CallRun.h"
#include "framework/surface/GdiObjects.h"

// Text-alignment flags.
enum : unsigned {
  TA_LEFT = 0,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_TOP = 0,
  TA_BOTTOM = 8,
  TA_BASELINE = 24,
};

// Background modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

class Surface {
public:
  virtual ~Surface() = default;

  // The current position becomes (x, y); nothing is drawn.
  virtual void MoveToEx(int x, int y) = 0;
  // A line in the selected pen from the current position to (x, y), the end
  // point left out; (x, y) becomes the current position.
  virtual void LineTo(int x, int y) = 0;
  // The first `count` bytes of `text` (count >= 0; the caller guarantees that
  // many bytes) in the selected font and text colour, placed at (x, y) by the
  // alignment flags, with the background mode. A NUL among them is drawn
  // like any other byte.
  virtual void TextOutA(int x, int y, const char* text, int count) = 0;
  // Each returns the previous value.
  virtual std::uint32_t SetTextColor(std::uint32_t color) = 0;
  virtual unsigned SetTextAlign(unsigned flags) = 0;
  virtual int SetBkMode(int mode) = 0;
  // Selects a pen or font; returns the previously selected object of that
  // kind, or 0 when `object` names neither (nothing changes then).
  virtual GdiHandle SelectObject(GdiHandle object) = 0;
  // The part of the ellipse inscribed in the rectangle (corners in either
  // order) that runs counter-clockwise, as seen, from the ray through the
  // start point to the ray through the end point; coincident rays give the
  // whole ellipse. The current position is neither used nor moved.
  virtual void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) = 0;
  // The device point that logical (0, 0) maps onto.
  virtual void SetViewportOrgEx(int x, int y) = 0;
  // Fills a device rectangle (not moved by the viewport origin) with a
  // colour: the window's background erasing.
  virtual void EraseBkgnd(int x, int y, int width, int height, std::uint32_t color) = 0;

  // Not platform calls: they let a replay pass over runs of calls that
  // cannot change a pixel of the target (CallRun.h).
  // Where calls could show anything in the current state (pen, font,
  // target, origin, view), with the current position; false when every
  // call must be made: a surface that keeps every call (traces, vector
  // pictures) says so.
  virtual bool Sight(CallSight&) { return false; }
  // The current position becomes (x, y) as the runs passed over left it,
  // with whatever else such calls change (nothing a surface draws).
  virtual void PassedTo(int, int) {}
};
