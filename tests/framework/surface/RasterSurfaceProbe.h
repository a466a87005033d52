#pragma once
// The tests' view of a raster surface's state and caches, and the switch
// that draws all text through Qt for comparisons. For tests and benchmarks
// only.

#include <QPoint>
#include <cstddef>

#include "framework/surface/RasterSurface.h"

struct RasterSurfaceProbe {
  static QPaintDevice* Target(const RasterSurface& s) { return s.target; }
  static bool Painting(const RasterSurface& s) { return s.painter.isActive(); }
  static QPoint CurrentPosition(const RasterSurface& s) { return QPoint(s.curX, s.curY); }
  static int BkMode(const RasterSurface& s) { return s.bkMode; }
  // The estimated bytes of the laid-out texts and of the glyph masks kept.
  static std::size_t TextCacheBytes(const RasterSurface& s) { return s.texts.Bytes(); }
  static std::size_t GlyphMaskBytes(const RasterSurface& s) { return s.glyphMasks.Bytes(); }
  // Whether large text is drawn from glyph masks (the default) or through Qt.
  static void SetGlyphMasks(RasterSurface& s, bool on) { s.glyphMasksOn = on; }
};
