#pragma once
// Rendering of display items (zvItem::Display) and its helpers. Item points
// (x, y), y upward, become surface points (x, -y). Every offset is computed
// in 64 bits or double; a surface argument outside the 32-bit range is
// saturated to INT_MIN or INT_MAX (so y = INT_MIN reaches the surface as
// INT_MAX).

#include <cstdint>

#include "items/zvItem.h"

class TClientDC;
class TDC;
struct DrawAttributes;

// What a replay draws on: the context, and the attributes its attribute
// items update.
struct DisplayTarget {
  TClientDC* dc;
  DrawAttributes* attributes;
};

// The display list's per-item callback for a repaint: target is a
// DisplayTarget*.
void DisplayItem(zvItem& item, void* target);

// The arguments of one Arc call.
struct ArcArgs {
  int left, top, right, bottom, xStart, yStart, xEnd, yEnd;
  bool operator==(const ArcArgs&) const = default;
};

// A whole circle of radius r about item point (x, y): start and end at the
// leftmost point.
ArcArgs circleArcArgs(int x, int y, int r);
// The arc about (x, y) of radius r from angle a to angle b (whole degrees,
// clockwise from the x axis as seen with y upward): single-precision
// radians, double-precision sine and cosine, points truncated toward zero.
ArcArgs arcArcArgs(int x, int y, int r, int a, int b);

// A 64-bit value saturated to the 32-bit range.
int saturateInt(std::int64_t v);
// A double truncated toward zero and saturated to the 32-bit range.
int truncateInt(double v);

// Makes the pen, or the font, for the attributes and selects it.
void refreshPen(TDC& dc, const DrawAttributes& attributes);
void refreshFont(TDC& dc, const DrawAttributes& attributes);
