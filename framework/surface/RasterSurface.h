#pragma once
// The QPainter surface: draws on a QPaintDevice (a Format_RGB32 QImage for
// the window and PNG output; a QSvgGenerator or QPdfWriter for vector
// export). The device is not owned and must stay alive until the surface is
// retargeted, ended or destroyed. State (selected pen and font, text colour,
// alignment, background mode, viewport origin, current position) belongs to
// the surface and survives a change of target. While the surface paints,
// the target's pixels may lag behind the calls (Qt's painter and the direct
// plotter's queue both may); they are complete once the surface is
// suspended, retargeted, ended or destroyed.
//
// Units: every call is in logical pixels. An image whose device pixel ratio
// is r has r times as many pixels each way; one drawing unit stays one
// logical pixel, while text, curves and wide lines are drawn at the device's
// full resolution.
//
// Mapping: pens are the QPens RasterPens makes, no wider than twice the
// target's diagonal (such a line already covers the whole target wherever
// it crosses it). A pen covers the same logical pixels at every ratio: at
// ratio 1 a thin pen is Qt's one-pixel cosmetic pen, elsewhere a one-unit
// pen moved onto the pixel centres across the line (Qt centres it on the
// pixel edge, which would cover half of two logical rows). Coordinates are
// clipped in double precision before Qt sees them, and ellipses too large
// for Qt's rasteriser are drawn as polylines over their visible part only.
// A whole circle, and a line that lies inside the image, in a thin solid pen
// on a 32-bit image of whole-number ratio are plotted directly
// (DirectPlotter), which is several times faster than Qt's ellipse and
// line. Text hangs below its point (top of the character cell, measured in
// logical pixels at every ratio); OPAQUE mode fills the cell with the
// background colour (white), TRANSPARENT does not; text never uses or moves
// the current position (the update-current-position flag is ignored). Text
// bytes are UTF-8 when valid, else Windows-1252; laid-out texts are cached
// (TextCache). Text larger than Qt keeps glyph images for (64 device
// pixels) is drawn on a 32-bit image from kept masks of its glyphs
// (GlyphMasks) instead of Qt's outline fill.
//
// The calls are implemented by concern: the target, the state and the
// damage in RasterSurface.cpp, lines and arcs in RasterLines.cpp, text in
// RasterText.cpp.

#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

#include "framework/surface/DirectPlotter.h"
#include "framework/surface/GdiObjects.h"
#include "framework/surface/GlyphMasks.h"
#include "framework/surface/RasterFont.h"
#include "framework/surface/RasterPens.h"
#include "framework/surface/Surface.h"
#include "framework/surface/TextCache.h"

class RasterSurface : public Surface {
public:
  // Begins painting on `device` (null: no target yet; calls then only change
  // state). Text needs a QGuiApplication.
  explicit RasterSurface(QPaintDevice* device = nullptr);
  ~RasterSurface() override;
  RasterSurface(const RasterSurface&) = delete;
  RasterSurface& operator=(const RasterSurface&) = delete;

  // Ends painting on the current target and begins on `device`, keeping all
  // state. Null ends painting (an SVG or PDF target writes its file then).
  void Retarget(QPaintDevice* device);
  void End() { Retarget(nullptr); }
  // Ends painting on the target for now, keeping it: the next drawing call
  // begins again. Meanwhile another painter may work on the target.
  void Suspend();
  // Whether it paints on its target now: a device that could not begin
  // painting (a PDF writer whose file failed) leaves it not painting.
  bool Painting() const { return painter.isActive(); }

  // The part of the target drawn since the last call (logical pixels,
  // clipped to the target; may be a little larger than what changed).
  QRect TakeDamage();

  void MoveToEx(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOutA(int x, int y, const char* text, int count) override;
  std::uint32_t SetTextColor(std::uint32_t color) override;
  unsigned SetTextAlign(unsigned flags) override;
  int SetBkMode(int mode) override;
  GdiHandle SelectObject(GdiHandle object) override;
  void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) override;
  void SetViewportOrgEx(int x, int y) override;
  void EraseBkgnd(int x, int y, int width, int height, std::uint32_t color) override;

private:
  friend struct RasterSurfaceProbe;  // the tests' view of the state and caches

  // The target and the damage (RasterSurface.cpp).
  void begin();
  // Begins painting on a suspended target again; false when it cannot.
  bool resume();
  // Adds a rectangle of logical coordinates (right and bottom exclusive) to
  // the damage; clamped only when taken, since this runs for every line.
  void damage(long long left, long long top, long long right, long long bottom) {
    damageLeft = std::min(damageLeft, left);
    damageTop = std::min(damageTop, top);
    damageRight = std::max(damageRight, right);
    damageBottom = std::max(damageBottom, bottom);
  }
  void damage(double left, double top, double right, double bottom);

  // Lines and arcs (RasterLines.cpp).
  // A line of device coordinates through Qt. Never inlined into LineTo, so
  // that the plotted path, the hottest, keeps a small frame.
  [[gnu::noinline]] void drawLine(long long ix1, long long iy1, long long ix2, long long iy2);
  void usePen();
  // Whether the selected pen is plotted directly; refreshed after a change
  // of pen or target.
  void updatePlot();
  double halfPenWidth() const;
  // Where Qt's drawing of the selected pen goes, off the given point, so
  // that it covers the logical pixels it covers at ratio 1 (see above).
  double penShift() const;
  void drawEllipsePart(double x0, double y0, double x1, double y1, double startDeg, double spanDeg,
                       bool whole);

  // Text (RasterText.cpp).
  void useTextPen();
  // Whether text in the selected font is drawn from glyph masks here.
  bool ownsGlyphs() const;
  // Draws the placed glyphs of a text whose top-left corner is at (left,
  // top) from masks; false, drawing nothing, when a font of the text has
  // glyphs that masks cannot hold.
  bool drawGlyphs(const TextCache::Entry& e, double left, double top);
  void drawVisibleSlice(const char* text, int count, double left, double top);

  DirectPlotter plotter;
  bool thin = false;  // the selected pen is plotted directly

  QPaintDevice* target = nullptr;
  QPainter painter;
  bool suspended = false;  // painting ended by Suspend, target kept
  long long damageLeft = LLONG_MAX, damageTop = LLONG_MAX;
  long long damageRight = LLONG_MIN, damageBottom = LLONG_MIN;
  // The part of the damage from lines plotted directly (inclusive bounds).
  struct Plotted {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  } plotted;
  double devW = 0, devH = 0;  // logical size of the target
  double ratio = 1;           // device pixels a logical pixel
  int maxPenWidth = 1;

  GdiHandle penHandle = GdiObjects::DefaultPen;
  GdiHandle fontHandle = GdiObjects::DefaultFont;
  PenDesc pen;
  QPen linePen;
  enum class PainterPen { Unknown, Line, Text } painterPen = PainterPen::Unknown;
  // The selected font's description, kept at selection (the handle may be
  // deleted while selected), and the font made from it when text first
  // needs it.
  FontDesc fontDesc = *GdiObjects::Font(GdiObjects::DefaultFont);
  std::shared_ptr<const RasterFont> font;
  bool painterFontSet = false;

  std::uint32_t textColor = 0;
  std::uint32_t bkColor = 0x00FFFFFF;
  unsigned textAlign = 0;
  int bkMode = OPAQUE;
  int orgX = 0, orgY = 0;
  int curX = 0, curY = 0;

  RasterPens pens;
  TextCache texts;
  GlyphMasks glyphMasks;
  bool glyphMasksOn = true;  // off: all text through Qt (tests compare the two)
  PixelTarget glyphPixels;   // the target's pixels while painting on an image masks can draw on
};
