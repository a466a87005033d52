#pragma once
// A device context: the program's drawing calls, each forwarded as one call
// to a drawing surface (which the context does not own), plus the selection
// bookkeeping of pens and fonts. The first pen and the first font the
// context gives up are its initial ones: it remembers them, and
// RestoreObjects (also run at the end of the context) selects them back and
// releases the program's objects selected at that moment. Every later
// object it gives up loses the count the selection took.

#include <cstdint>

#include "framework/gdi/TColor.h"
#include "framework/surface/Surface.h"

class TPen;
class TFont;

class TDC {
public:
  explicit TDC(Surface& surface) : surface(&surface) {}
  TDC(const TDC&) = delete;
  TDC& operator=(const TDC&) = delete;
  // Restores the initial objects. A refused deletion at this point leaves
  // the object alive and is not raised.
  virtual ~TDC();

  void MoveToEx(int x, int y) { surface->MoveToEx(x, y); }
  void LineTo(int x, int y) { surface->LineTo(x, y); }
  // A count below 0 is first replaced by the text's length (up to its NUL).
  // Otherwise `text` must hold at least `count` bytes.
  void TextOutA(int x, int y, const char* text, int count = -1);
  TColor SetTextColor(TColor color) { return TColor(surface->SetTextColor(color.GetValue())); }
  unsigned SetTextAlign(unsigned flags) { return surface->SetTextAlign(flags); }
  int SetBkMode(int mode) { return surface->SetBkMode(mode); }
  void SetViewportOrgEx(int x, int y) { surface->SetViewportOrgEx(x, y); }
  // Fills a device rectangle with a colour (background erasing).
  void EraseBkgnd(int x, int y, int width, int height, TColor color) {
    surface->EraseBkgnd(x, y, width, height, color.GetValue());
  }
  void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
    surface->Arc(left, top, right, bottom, xStart, yStart, xEnd, yEnd);
  }
  // For replays that pass over runs of calls showing nothing (Surface.h).
  bool Sight(CallSight& sight) { return surface->Sight(sight); }
  void PassedTo(int x, int y) { surface->PassedTo(x, y); }

  // Selects the object and takes a count on it; the object given up loses
  // its count (unless it is the initial one), which may delete it and raise
  // TXGdi(32734).
  void SelectObject(const TPen& pen);
  void SelectObject(const TFont& font);
  // Selects the initial pen and font back, if they were ever given up, and
  // releases the objects they displace.
  void RestoreObjects();

protected:
  // RestoreObjects for a context's end, which has nobody to raise to: a
  // refused deletion leaves that object alive.
  void RestoreObjectsAtEnd() noexcept;

private:
  void Select(GdiHandle object, GdiHandle& original);
  // Selects `original` back if it was given up, and forgets it.
  void Restore(GdiHandle& original);

  Surface* surface;
  GdiHandle orgPen = 0;
  GdiHandle orgFont = 0;
};
