#pragma once
// Fonts for the raster surface: a font description becomes a QFont with its
// metrics. Height < 0 is the em height, > 0 the character-cell height
// (ascent + descent: the largest pixel size whose cell fits), 0 a default
// cell of 16 pixels; pixel sizes are kept within 1..16384, beyond which Qt's
// metrics break. Weight 0 is normal; other weights are kept within 1..1000.
// A missing or empty face leaves the family to Qt. Width, escapement and
// orientation are not used.

#include <QFont>
#include <QFontMetricsF>
#include <cstddef>
#include <memory>

#include "framework/surface/GdiObjects.h"

struct RasterFont {
  QFont font;
  double ascent = 0;
  double height = 0;  // the character cell: ascent + descent
  int id = 0;         // distinct for every distinct description
};

// The font for a description. Made fonts are kept, the least recently asked
// for leaving first once RasterFontCacheCapacity are kept, so the same
// description gives the same entry (and the same id) while it stays; an
// entry made again after it left gets a new id. Making one loads Qt's font
// engine for that size (a font match, about half a millisecond); a kept
// one costs a lookup. A kept font holds its engine, and with it the glyphs
// drawn in it. Needs a QGuiApplication.
std::shared_ptr<const RasterFont> RasterFontFor(const FontDesc& desc);

// Fonts kept at most: each costs about 14 KiB of resident memory with the
// glyphs of a short text (bench_fonts measures it), so all of them about
// 7 MiB.
inline constexpr std::size_t RasterFontCacheCapacity = 512;
// Fonts kept now.
std::size_t RasterFontCacheSize();

// The largest pixel size a font is made at.
inline constexpr int RasterFontMaxPixels = 16384;

// The pixel size a font description asks for (see above).
int RasterPixelSize(const FontDesc& desc);
