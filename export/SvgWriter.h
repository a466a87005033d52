#pragma once
// A paint device that writes an SVG picture while it is painted on: each
// shape becomes one element as it is drawn and goes to the sink in chunks,
// so memory stays small however many shapes the picture has (Qt's own SVG
// generator keeps the whole document in memory until the painter ends).
// Shapes of one look share a group that names the look once.
//
// The picture is written as the raster painter shows it: Qt draws lines
// without anti-aliasing, lighting the pixels whose centres lie in a shape
// moved half a pixel, for a stroke of odd width, off the whole coordinates
// it is centred on. So a stroke of odd width (a one-pixel line, say) drawn
// without anti-aliasing is written half a pixel further right and down:
// an anti-aliasing renderer then fills the same pixels in full. Fills are
// written where they are.
//
// Text is written as text elements in the painter's font (family, pixel
// size, weight and slant), placed at its baseline (the painter draws
// underlines and strike-outs itself, as lines);
// a text that XML cannot hold (control characters) or under a rotating or
// scaling transform is written as the outlines of its glyphs instead.
// Lines, polygons, paths, rectangles and ellipses are written with the
// painter's pen (colour, width, caps, joins, dash pattern and offset) and
// brush (a solid colour; other brushes by their colour). The painter's
// clipping, composition modes and images are not written: the drawing
// surfaces use none of them on vector devices.

#include <QPaintDevice>

#include <cstddef>
#include <functional>
#include <memory>

class QPaintEngine;

class SvgWriter : public QPaintDevice {
public:
  // Receives the document's bytes in order; false stops the writing.
  using Sink = std::function<bool(const char* bytes, std::size_t size)>;

  // A picture of width x height pixels (the SVG's user units), titled
  // `title` when it is not empty. The document starts when a painter
  // begins on the device and ends with the painter's end.
  SvgWriter(int width, int height, Sink sink, const QString& title = QString());
  ~SvgWriter() override;
  SvgWriter(const SvgWriter&) = delete;
  SvgWriter& operator=(const SvgWriter&) = delete;

  QPaintEngine* paintEngine() const override;
  // Whether the sink refused bytes: the document is then incomplete.
  bool Failed() const;

protected:
  int metric(PaintDeviceMetric metric) const override;

private:
  class Engine;
  std::unique_ptr<Engine> engine;
  int width, height;
};
