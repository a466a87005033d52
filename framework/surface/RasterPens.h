#pragma once
// The QPens of the raster surface. Pens of width 1, 0 or below are thin: one
// logical pixel wide, and they carry the dash patterns (DashPatternOf);
// wider pens are solid whatever their style, with round caps and joins, and
// no wider than the target allows. At ratio 1 and 1:1 a thin pen is Qt's
// one-pixel cosmetic pen, elsewhere a pen as wide as the zoom, never less
// than one device pixel (a cosmetic pen would be one device pixel). Under a
// zoom every width and dash length is the zoom times its 1:1 value. Made
// pens are kept: the program makes a new pen for every pen item, mostly
// with a colour it had before, and a new QPen costs more than the line it
// draws.

#include <QPen>
#include <cstdint>
#include <unordered_map>

#include "framework/surface/GdiObjects.h"

// The dash pattern of a thin pen's style, in logical pixels at 1:1: on,
// off, on, off (dash 18/6, dot 3/3, dash-dot 9/6/3/6); no entries for a
// style that draws solid.
struct DashPattern {
  int count = 0;
  int len[4] = {};
  int period = 0;  // the sum of the entries
};
DashPattern DashPatternOf(const PenDesc& pen);

class RasterPens {
public:
  // The QPen that draws `pen` on a target of device pixel ratio `ratio`
  // whose pens are at most `maxWidth` logical pixels wide, under a zoom
  // (logical pixels a unit). The reference is valid until the next call.
  const QPen& For(const PenDesc& pen, double ratio, int maxWidth, double zoom = 1);

private:
  static QPen make(const PenDesc& pen, double ratio, int maxWidth, double zoom);

  std::unordered_map<std::uint64_t, QPen> pens;  // key: style, clamped width, colour
  // The ratio class (1 or other) and zoom the kept pens were made for.
  bool unitRatio = true;
  double keptZoom = 1;
};
