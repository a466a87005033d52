#pragma once
// The client area of a window: its backing image and the one drawing
// surface that draws on it.
//
// Units. The image holds device pixels: its size is the client size in
// logical pixels times the screen's device pixel ratio, and it carries that
// ratio, so one drawing unit stays one logical pixel at any ratio while text
// and curves are drawn at the screen's full resolution. Everything this
// class takes and returns is in logical pixels except the image itself.
//
// Drawing. Every call of the Surface interface goes to the image's raster
// surface, or to a surface the owner put in its place (a recording surface
// in tests). The raster surface begins painting on the image at its first
// drawing call and ends at TakeDrawn, so between messages nothing paints on
// the image. The area keeps the bounding rectangle of what was drawn since
// then, so the screen copies only that.

#include <QImage>
#include <QRect>
#include <QRegion>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>

#include "framework/surface/RasterSurface.h"
#include "framework/surface/Surface.h"

class TClientArea final : public Surface {
public:
  TClientArea();
  ~TClientArea() override;
  TClientArea(const TClientArea&) = delete;
  TClientArea& operator=(const TClientArea&) = delete;

  // The backing image (device pixels); null before the first Resize.
  QImage& Image() { return *image; }
  double Ratio() const { return ratio; }
  QSize LogicalSize() const { return size; }

  // Makes the image for a client of `logical` pixels at `devicePixelRatio`,
  // filled with `fill`. With the same ratio the old pixels that still fit
  // are kept and the newly uncovered part is returned; with another ratio
  // the old pixels cannot be kept and the whole area is returned. The
  // drawing state (pen, font, origin, colours) carries over.
  QRegion Resize(const QSize& logical, double devicePixelRatio, std::uint32_t fill);

  // Draws on `surface` (not owned) instead of the image until it is called
  // again with null.
  void Redirect(Surface* surface);
  Surface* Redirected() const { return redirect; }

  // Fills a region of the client area through the current surface.
  void Erase(const QRegion& region, std::uint32_t color);

  // Ends painting on the image for now and returns what was drawn since
  // the last call, clipped to the client area.
  QRegion TakeDrawn();

  // The Surface interface, forwarded.
  void MoveToEx(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOutA(int x, int y, const char* text, int count) override;
  std::uint32_t SetTextColor(std::uint32_t color) override;
  unsigned SetTextAlign(unsigned flags) override;
  int SetBkMode(int mode) override;
  GdiHandle SelectObject(GdiHandle object) override;
  void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
           int yEnd) override;
  void SetViewportOrgEx(int x, int y) override;
  void EraseBkgnd(int x, int y, int width, int height, std::uint32_t color) override;

private:
  // The surface that takes the calls: for state changes as it is, for
  // drawing calls with the raster surface painting on the image.
  Surface& current() { return redirect ? *redirect : static_cast<Surface&>(raster); }
  Surface& drawing() { return redirect ? *redirect : painting ? raster : beginPainting(); }
  RasterSurface& beginPainting();
  // Adds a rectangle of logical coordinates (any values, right and bottom
  // exclusive) to what was drawn; kept unclamped until TakeDrawn, since
  // this runs for every line.
  void touch(long long left, long long top, long long right, long long bottom) {
    drawnLeft = std::min(drawnLeft, left);
    drawnTop = std::min(drawnTop, top);
    drawnRight = std::max(drawnRight, right);
    drawnBottom = std::max(drawnBottom, bottom);
  }
  void touchAll() { allDrawn = true; }

  std::unique_ptr<QImage> image = std::make_unique<QImage>();
  RasterSurface raster;
  Surface* redirect = nullptr;
  bool painting = false;  // the raster surface paints on the image
  double ratio = 1;
  QSize size;

  // What was drawn since TakeDrawn: a rectangle (empty while left > right),
  // or all of it.
  long long drawnLeft = LLONG_MAX, drawnTop = LLONG_MAX, drawnRight = LLONG_MIN, drawnBottom = LLONG_MIN;
  bool allDrawn = false;
  // Kept to bound what a line or an arc can touch.
  long long orgX = 0, orgY = 0, curX = 0, curY = 0;
  int penReach = 1;  // half the pen's width, rounded up, at least 1
};
