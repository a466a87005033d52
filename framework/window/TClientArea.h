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
// Drawing. The window's device contexts draw through Current(): the image's
// raster surface, or a surface the owner put in its place (a recording
// surface in tests). The raster surface paints on the image from its first
// drawing call until TakeDrawn, so between messages nothing paints on the
// image, and it keeps the rectangle it drew in, so that the screen copies
// only that.

#include <QImage>
#include <QRegion>
#include <cstdint>
#include <memory>

#include "framework/surface/RasterSurface.h"
#include "framework/surface/Surface.h"

class TClientArea {
public:
  TClientArea();
  ~TClientArea();
  TClientArea(const TClientArea&) = delete;
  TClientArea& operator=(const TClientArea&) = delete;

  // The backing image (device pixels); null before the first Resize.
  QImage& Image() { return *image; }
  double Ratio() const { return ratio; }
  QSize LogicalSize() const { return size; }

  // The surface the window draws on now.
  Surface& Current() { return redirect ? *redirect : static_cast<Surface&>(raster); }

  // Makes the image for a client of `logical` pixels at `devicePixelRatio`,
  // filled with `fill`. With the same ratio the old pixels that still fit
  // are kept and the newly uncovered part is returned; with another ratio
  // the old pixels cannot be kept and the whole area is returned. The
  // drawing state (pen, font, origin, colours) carries over.
  QRegion Resize(const QSize& logical, double devicePixelRatio, std::uint32_t fill);

  // Draws on `surface` (not owned) instead of the image until it is called
  // again with null. Contexts made before keep the surface they were made on.
  void Redirect(Surface* surface);

  // Draws what comes next in a view: zoom and pan as the raster surface
  // takes them (RasterSurface::SetView). A surface put in the image's
  // place draws item coordinates as they are.
  void SetView(double zoom, double panX, double panY) { raster.SetView(zoom, panX, panY); }

  // Fills a region of the client area through the current surface.
  void Erase(const QRegion& region, std::uint32_t color);

  // Copies the bottom-left part of `source` (device pixels at this area's
  // ratio) over the whole image, so that their bottom rows meet. False, and
  // nothing copied, when the ratios differ or `source` is smaller.
  bool CopyBottomLeft(const QImage& source);

  // Ends painting on the image for now and returns what was drawn on it
  // since the last call.
  QRegion TakeDrawn();

private:
  std::unique_ptr<QImage> image = std::make_unique<QImage>();
  RasterSurface raster;
  Surface* redirect = nullptr;
  double ratio = 1;
  QSize size;
};
