#pragma once
// Writes a picture to a file, in the format its name ends in: PNG (the
// raster picture, scaled when asked), SVG or PDF (each drawing kept once,
// VectorScene). The file is written through an OutputFile: it appears only
// whole, and an output that is one of the inputs is refused.
//
// The picture is whatever a drawing function draws on the surface it is
// given, in a client area of width x height logical pixels whose background
// starts black. zorva-render draws a command file that way; a display's own
// picture is drawn from its display list (ExportDisplayList).

#include <functional>
#include <string>
#include <vector>

#include "export/OutputFile.h"

class QImage;
class Surface;
struct DisplayState;

enum class PictureFormat { Png, Svg, Pdf };

// The format a file name ends in (".png", ".svg", ".pdf", in any case);
// false for any other name.
bool PictureFormatOf(const std::string& name, PictureFormat& format);

struct PictureRequest {
  PictureFormat format = PictureFormat::Png;
  int width = 800, height = 600;  // the client area, in logical pixels
  int scale = 1;                  // PNG only: device pixels a logical pixel
  int threads = 0;                // PNG only: threads to deflate on (EncodePng)
};

// Draws the picture; false when there is nothing to write (its input could
// not be read), and then no file is written.
using DrawPicture = std::function<bool(Surface& surface)>;

struct ExportResult {
  enum Status { Written, NotDrawn, Failed } status = Failed;
  std::string reason;  // Failed: why the file could not be written
};

// Draws the picture and writes it to `path`; `inputs` are the files the
// drawing reads, which the output must not be. A refused output is
// refused before `draw` runs.
ExportResult ExportPicture(const PictureRequest& request, const std::string& path, const DrawPicture& draw,
                           const std::vector<FileId>& inputs = {});

// Writes `image` (its pixels as they are, at their resolution) as PNG,
// deflated on `threads` threads (EncodePng).
ExportResult ExportImage(const QImage& image, const std::string& path, const std::vector<FileId>& inputs = {},
                         int threads = 0);

// The picture a display shows after a paint with erasing: the client area
// erased to black, then the display list replayed on it. The replay applies
// the list's attribute items to `state` as a paint does.
ExportResult ExportDisplayList(const PictureRequest& request, const std::string& path, DisplayState& state);
