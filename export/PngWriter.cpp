#include "export/PngWriter.h"

#include <zlib.h>

#include <QColorSpace>
#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "export/OutputFile.h"
#include "export/PngDeflate.h"

namespace {

using Bytes = std::vector<unsigned char>;

const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// IDAT chunks hold at most this much: large enough that a chunk's overhead
// and a write call per chunk do not count, small enough to stay in the
// cache.
constexpr std::size_t kIdatBytes = 256 * 1024;

void putU32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

void appendU32(Bytes& b, std::uint32_t v) {
  b.resize(b.size() + 4);
  putU32(b.data() + b.size() - 4, v);
}

// A chunk whose data is `frame[8 .. 8 + size)`: fills in the length and
// type before it and the CRC after it (frame must have room for those 4
// bytes), then hands over the whole chunk at once.
bool emitFramed(const PngSink& sink, unsigned char* frame, const char* type, std::size_t size) {
  putU32(frame, static_cast<std::uint32_t>(size));
  std::memcpy(frame + 4, type, 4);
  const uLong crc = ::crc32(::crc32(0L, Z_NULL, 0), frame + 4, static_cast<uInt>(size + 4));
  putU32(frame + 8 + size, static_cast<std::uint32_t>(crc));
  return sink(frame, size + 12);
}

bool emitChunk(const PngSink& sink, const char* type, const Bytes& data) {
  Bytes frame(8);
  frame.insert(frame.end(), data.begin(), data.end());
  frame.resize(frame.size() + 4);
  return emitFramed(sink, frame.data(), type, data.size());
}

// A chunk's keyword as a PNG reader accepts it: Latin-1, printable
// characters only (others become spaces), no leading, trailing or double
// spaces, at most 79 bytes. Empty when nothing usable is left.
std::string keyword(const QString& text) {
  std::string out;
  for (QChar c : text) {
    const char16_t u = c.unicode();
    const bool printable = (u >= 0x20 && u <= 0x7E) || (u >= 0xA1 && u <= 0xFF);
    const char b = printable ? static_cast<char>(u) : ' ';
    if (b == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += b;
    if (out.size() == 79) break;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

void appendString(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

// One text key: tEXt when its value is Latin-1 text (line feeds allowed),
// else iTXt in UTF-8. A value ends at its first NUL, which neither chunk
// can hold.
bool emitText(const PngSink& sink, const QString& key, QString value) {
  const std::string word = keyword(key);
  if (word.empty()) return true;
  if (const qsizetype nul = value.indexOf(QChar(0)); nul >= 0) value.truncate(nul);
  bool latin1 = true;
  for (QChar c : value) {
    const char16_t u = c.unicode();
    if (u > 0xFF || (u < 0x20 && u != '\n') || (u >= 0x7F && u < 0xA0)) latin1 = false;
  }
  Bytes data;
  appendString(data, word);
  data.push_back(0);
  if (latin1) {
    const QByteArray text = value.toLatin1();
    data.insert(data.end(), text.begin(), text.end());
    return emitChunk(sink, "tEXt", data);
  }
  // Not compressed, no language, no translated keyword.
  data.insert(data.end(), {0, 0, 0, 0});
  const QByteArray text = value.toUtf8();
  data.insert(data.end(), text.begin(), text.end());
  return emitChunk(sink, "iTXt", data);
}

// The colour space as an ICC profile, named by its description.
bool emitColourSpace(const PngSink& sink, const QColorSpace& space) {
  const QByteArray profile = space.iccProfile();
  if (profile.isEmpty()) return true;
  std::string name = keyword(space.description());
  if (name.empty()) name = "Custom";
  uLongf size = ::compressBound(static_cast<uLong>(profile.size()));
  Bytes packed(size);
  if (::compress2(packed.data(), &size, reinterpret_cast<const Bytef*>(profile.constData()),
                  static_cast<uLong>(profile.size()), Z_BEST_COMPRESSION) != Z_OK)
    return false;
  Bytes data;
  appendString(data, name);
  data.insert(data.end(), {0, 0});  // end of the name, deflate
  data.insert(data.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(size));
  return emitChunk(sink, "iCCP", data);
}

bool emitHeader(const PngSink& sink, const QImage& image, bool alpha) {
  if (!sink(kSignature, sizeof kSignature)) return false;
  Bytes ihdr;
  appendU32(ihdr, static_cast<std::uint32_t>(image.width()));
  appendU32(ihdr, static_cast<std::uint32_t>(image.height()));
  // 8 bits a sample; RGB or RGBA; deflate; a filter type a row; no interlace.
  ihdr.insert(ihdr.end(), {8, static_cast<unsigned char>(alpha ? 6 : 2), 0, 0, 0});
  if (!emitChunk(sink, "IHDR", ihdr)) return false;
  if (image.colorSpace().isValid() && !emitColourSpace(sink, image.colorSpace())) return false;
  if (image.dotsPerMeterX() > 0 || image.dotsPerMeterY() > 0) {
    Bytes phys;
    appendU32(phys, static_cast<std::uint32_t>(std::max(image.dotsPerMeterX(), 0)));
    appendU32(phys, static_cast<std::uint32_t>(std::max(image.dotsPerMeterY(), 0)));
    phys.push_back(1);  // the unit is the metre
    if (!emitChunk(sink, "pHYs", phys)) return false;
  }
  if (!image.offset().isNull()) {
    Bytes offs;
    appendU32(offs, static_cast<std::uint32_t>(image.offset().x()));
    appendU32(offs, static_cast<std::uint32_t>(image.offset().y()));
    offs.push_back(0);  // in pixels
    if (!emitChunk(sink, "oFFs", offs)) return false;
  }
  for (const QString& key : image.textKeys())
    if (!emitText(sink, key, image.text(key))) return false;
  return true;
}

// One row as PNG samples behind its filter byte (0, none).
void packRow(const QRgb* s, int width, bool alpha, unsigned char* d) {
  *d++ = 0;
  if (alpha) {
    for (int x = 0; x < width; ++x, d += 4) {
      const QRgb p = s[x];
      d[0] = static_cast<unsigned char>(p >> 16);
      d[1] = static_cast<unsigned char>(p >> 8);
      d[2] = static_cast<unsigned char>(p);
      d[3] = static_cast<unsigned char>(p >> 24);
    }
  } else {
    for (int x = 0; x < width; ++x, d += 3) {
      const QRgb p = s[x];
      d[0] = static_cast<unsigned char>(p >> 16);
      d[1] = static_cast<unsigned char>(p >> 8);
      d[2] = static_cast<unsigned char>(p);
    }
  }
}

// The rows' zlib stream, cut into IDAT chunks of kIdatBytes (the last one
// shorter).
bool emitPixels(const PngSink& sink, const QImage& image, bool alpha, int threads) {
  const std::size_t rowBytes = 1 + static_cast<std::size_t>(image.width()) * (alpha ? 4 : 3);
  Bytes frame(8 + kIdatBytes + 4);
  std::size_t filled = 0;
  const auto take = [&](const unsigned char* bytes, std::size_t size) {
    while (size > 0) {
      const std::size_t n = std::min(size, kIdatBytes - filled);
      std::memcpy(frame.data() + 8 + filled, bytes, n);
      filled += n;
      bytes += n;
      size -= n;
      if (filled == kIdatBytes) {
        if (!emitFramed(sink, frame.data(), "IDAT", filled)) return false;
        filled = 0;
      }
    }
    return true;
  };
  const auto pack = [&](int y, unsigned char* out) {
    packRow(reinterpret_cast<const QRgb*>(image.constScanLine(y)), image.width(), alpha, out);
  };
  if (!DeflateRows(image.height(), rowBytes, pack, threads, take)) return false;
  return filled == 0 || emitFramed(sink, frame.data(), "IDAT", filled);
}

}  // namespace

bool EncodePng(const QImage& image, const PngSink& sink, int threads) {
  if (image.isNull()) return false;
  const bool alpha = image.hasAlphaChannel();
  // Shares the pixels when the image is in that format already.
  const QImage pixels = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (pixels.isNull()) return false;
  if (threads <= 0) threads = PngDefaultThreads();
  return emitHeader(sink, image, alpha) && emitPixels(sink, pixels, alpha, threads) &&
         emitChunk(sink, "IEND", Bytes());
}

bool SavePng(const QImage& image, const std::string& path, std::string* reason, int threads) {
  OutputFile out;
  const bool written =
      out.Open(path) &&
      EncodePng(
          image, [&out](const unsigned char* bytes, std::size_t size) { return out.Write(bytes, size); },
          threads) &&
      out.Commit();
  if (!written && reason) *reason = out.Reason().empty() ? "the picture could not be encoded" : out.Reason();
  return written;
}
