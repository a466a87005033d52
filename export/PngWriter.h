#pragma once
// Writes a QImage as a PNG picture several times faster than QImage::save.
// The rows go unfiltered into a deflate stream that codes only runs (zlib's
// run-length strategy): a picture of lines on a plain background is mostly
// long runs of one colour, which that codes as well as the general search
// at a fraction of its time, and the per-row filter choice that a PNG
// writer usually makes costs more than it saves on such pictures.
//
// The file says what Qt's PNG writer says about the image: 8-bit RGB
// without an alpha channel, 8-bit RGBA with one (not premultiplied), the
// resolution in dots a metre, the offset, the text keys and the colour
// space, each where the image has one. Images of other formats are written
// as 8-bit RGB or RGBA alike, so indexed, grey and 16-bit images lose what
// those would keep (zorva-render only makes RGB32 images).

#include <cstddef>
#include <functional>
#include <string>

class QImage;

// Receives the encoded bytes in order; returns false when it could not
// take them, which stops the encoding.
using PngSink = std::function<bool(const unsigned char* bytes, std::size_t size)>;

// Encodes `image` into `sink`, deflating on up to `threads` threads (0: as
// many as the processors it may run on; 1: the calling thread alone, one
// deflate stream); the rows a reader decodes are the same whatever the
// number (export/PngDeflate.h). The sink is called on the calling thread.
// False for a null image, when memory runs out, or when the sink refuses
// bytes.
bool EncodePng(const QImage& image, const PngSink& sink, int threads = 0);

// Writes `image` to the file `path` through an OutputFile: a temporary
// file beside it replaces it once the whole picture is written. False when
// the file cannot be opened, a write fails or falls short, or its close or
// rename reports an error; the reason then goes to `reason` when given, and
// `path` is left as it was. `threads` as for EncodePng.
bool SavePng(const QImage& image, const std::string& path, std::string* reason = nullptr, int threads = 0);
