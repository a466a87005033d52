#pragma once
// A 32-bit image for a raster surface to draw on. Lines and circles write
// single pixels all over it, so a large image is laid on memory that the
// kernel may back with huge pages: one TLB entry then covers 2 MiB of the
// image instead of 4 KiB, and scattered writes stop missing the TLB. The
// pixels start undefined, as with QImage's own constructor.

#include <QImage>

// A w x h image in `format` (a 32-bit format); a null image when the size is
// empty or memory runs out.
QImage NewRasterImage(int w, int h, QImage::Format format);
