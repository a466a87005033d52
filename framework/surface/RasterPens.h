#pragma once
// The QPens of the raster surface. Pens of width 1, 0 or below are one
// logical pixel wide and carry the dash patterns (dash 18/6, dot 3/3,
// dash-dot 9/6/3/6, in logical pixels; other styles draw solid); wider pens
// are solid whatever their style, with round caps and joins, and no wider
// than the target allows. At ratio 1 a thin pen is Qt's one-pixel cosmetic
// pen, elsewhere a one-unit pen (a cosmetic pen would be one device pixel).
// Made pens are kept: the program makes a new pen for every pen item,
// mostly with a colour it had before, and a new QPen costs more than the
// line it draws.

#include <QPen>
#include <cstdint>
#include <unordered_map>

#include "framework/surface/GdiObjects.h"

class RasterPens {
public:
  // The QPen that draws `pen` on a target of device pixel ratio `ratio`
  // whose pens are at most `maxWidth` wide. The reference is valid until
  // the next call.
  const QPen& For(const PenDesc& pen, double ratio, int maxWidth);

private:
  static QPen make(const PenDesc& pen, double ratio, int maxWidth);

  std::unordered_map<std::uint64_t, QPen> pens;  // key: style, clamped width, colour
  bool unitRatio = true;                         // the ratio class the kept pens were made for
};
