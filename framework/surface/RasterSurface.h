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
// Thin lines, circles and arcs on a 32-bit image whose device pixels a unit
// (ratio times zoom) are a whole number are plotted directly
// (DirectPlotter), several times faster than Qt's, with the same pixels on
// a target of any size: what such a primitive draws inside a target equals
// the same part of what it draws on a larger one with the same origin. Text
// hangs below its point (top of the character cell, measured in logical
// pixels at every ratio); OPAQUE mode fills the cell with the background
// colour (white), TRANSPARENT does not; text never uses or moves the
// current position (the update-current-position flag is ignored). Text
// bytes are UTF-8 when valid, else Windows-1252; laid-out texts are cached
// (TextCache). Text larger than Qt keeps glyph images for (64 device
// pixels) is drawn on a 32-bit image from kept masks of its glyphs
// (GlyphMasks) instead of Qt's outline fill.
//
// Dashes: the pattern of a thin pen runs on along connected lines, from
// where one LineTo ended into the next; it starts afresh at MoveToEx, at
// every pen selection, at SetViewportOrgEx, SetView and EraseBkgnd. Text
// and arcs leave it alone (an arc's own pattern starts at its start). On
// plotted lines the pattern counts steps along the major axis; through Qt
// (vector devices, fractional scales) it counts length along the line and
// reaches Qt as the pen's dash offset.
//
// The view (SetView): zoom about the viewport origin, then a pan. A point
// (x, y) given to the surface is drawn at logical point
//   (orgX + panX + zoom * x, orgY - panY + zoom * y),
// the pan measured from the origin in logical pixels, x right and y up.
// Everything scales: pen widths (a thin pen is zoom logical pixels wide,
// never less than one device pixel), dash lengths, arcs, and text (its font
// chosen as at 1:1, then scaled; glyphs above the font size limit are
// clamped to it). EraseBkgnd and the damage stay in logical pixels of the
// target, untransformed. At zoom 1 and no pan every pixel is as without a
// view.
//
// The calls are implemented by concern: the target, the state, the view
// and the damage in RasterSurface.cpp, lines in RasterLines.cpp, arcs in
// RasterArcs.cpp, text in RasterText.cpp, runs skipped in RasterRuns.cpp.

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

  // The view: zoom (logical pixels a unit, above 0) about the viewport
  // origin, then the pan (logical pixels, x right, y up); see above. Not a
  // platform call: recording surfaces and traces never see it. A zoom that
  // is not finite and above 0 is taken as 1, a pan that is not finite as 0.
  void SetView(double zoom, double panX, double panY);

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
  // On an image target with a pen without a dash pattern (whose pattern
  // would run on along lines drawn or not): the target with room for the
  // selected pen and font, through the view. Never on a vector device.
  bool Sight(CallSight& sight) override;
  void PassedTo(int x, int y) override {
    curX = x;
    curY = y;
  }

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

  // Lines (RasterLines.cpp).
  // A line of logical coordinates through Qt. Never inlined into LineTo, so
  // that the plotted path, the hottest, keeps a small frame.
  [[gnu::noinline]] void drawLine(double x1, double y1, double x2, double y2, double length);
  // A plotted line that is dashed or reaches beyond the image.
  [[gnu::noinline]] void plotLine(long long x1, long long y1, long long x2, long long y2);
  void usePen();
  // Whether lines and curves are plotted directly, and how; refreshed after
  // a change of target, origin or view (updatePlot) or of pen (usePlotPen).
  void updatePlot();
  void usePlotPen();
  double halfPenWidth() const;
  // Where Qt's drawing of the selected pen goes, off the given point, so
  // that it covers the logical pixels it covers at ratio 1 (see above).
  double penShift() const;
  void restartDash() { dashPhase = 0; }

  // Arcs (RasterArcs.cpp).
  void drawEllipsePart(double x0, double y0, double x1, double y1, double startDeg, double spanDeg,
                       bool whole);
  // A plotted ellipse (device rectangle corners, the rays of the request in
  // doubled coordinates, y up), as a polyline of fixed chords.
  void plotEllipse(long long x0, long long y0, long long x1, long long y1, double startRad, double spanRad,
                   bool circle);

  // The view's logical coordinates of a surface point.
  double viewX(double x) const { return orgX + panX + zoom * x; }
  double viewY(double y) const { return orgY - panY + zoom * y; }

  // Text (RasterText.cpp).
  void useTextPen();
  // How much text in the selected font is scaled: the zoom, within the
  // font size limit.
  double textScale() const;
  // Whether text in the selected font, so scaled, is drawn from glyph masks
  // here.
  bool ownsGlyphs(double scale) const;
  // Draws the placed glyphs of a text whose top-left corner is at (left,
  // top), scaled, from masks; false, drawing nothing, when a font of the
  // text has glyphs that masks cannot hold.
  bool drawGlyphs(const TextCache::Entry& e, double left, double top, double scale);
  void drawVisibleSlice(const char* text, int count, double left, double top, double scale);

  DirectPlotter plotter;
  // Plotting: device point = scale * surface point + (plotX, plotY).
  bool plottable = false;  // the target and the view allow plotting
  bool direct = false;     // lines and curves in the selected pen are plotted
  bool dashed = false;     // ... with a pattern (plotDash)
  long long plotScale = 1, plotX = 0, plotY = 0;
  DirectPlotter::Dash plotDash;
  // Where the dash pattern of connected lines stands, in logical pixels at
  // 1:1 (units of the pattern's lengths).
  double dashPhase = 0;

  QPaintDevice* target = nullptr;
  QPainter painter;
  bool suspended = false;  // painting ended by Suspend, target kept
  long long damageLeft = LLONG_MAX, damageTop = LLONG_MAX;
  long long damageRight = LLONG_MIN, damageBottom = LLONG_MIN;
  // The part of the damage from lines plotted directly: the device points
  // traced (inclusive bounds); each covers a block `plotReach` more right
  // and down.
  struct Plotted {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  } plotted;
  int plotReach = 0;
  // Moves the plotted bounds into the damage.
  void takePlotted();
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
  double zoom = 1, panX = 0, panY = 0;
  bool identity = true;  // zoom 1, no pan

  RasterPens pens;
  TextCache texts;
  GlyphMasks glyphMasks;
  bool glyphMasksOn = true;  // off: all text through Qt (tests compare the two)
  // The selected font's own, for settling its outlines before Qt fills them.
  int settledFont = 0;
  QRawFont settleRaw;
  PixelTarget glyphPixels;  // the target's pixels while painting on an image masks can draw on
};
