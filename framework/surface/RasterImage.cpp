#include "framework/surface/RasterImage.h"

#include <new>

#include "base/HugePages.h"

namespace {

constexpr std::size_t kLargest = std::size_t{1} << 30;

struct Mapping {
  void* pixels;
  std::size_t bytes;
};

void unmap(void* info) {
  const Mapping* m = static_cast<Mapping*>(info);
  UnmapHugePages(m->pixels, m->bytes);
  delete m;
}

}  // namespace

QImage NewRasterImage(int w, int h, QImage::Format format) {
  if (w <= 0 || h <= 0) return QImage();
  const std::size_t bytes = static_cast<std::size_t>(w) * 4 * static_cast<std::size_t>(h);
  // Small images gain nothing from a huge page, and huge ones are left to
  // Qt's own limits and allocation.
  if (bytes < kHugePageBytes || bytes > kLargest) return QImage(w, h, format);
  void* pixels = MapHugePages(bytes);
  if (!pixels) return QImage();
  auto* mapping = new (std::nothrow) Mapping{pixels, bytes};
  if (!mapping) {
    UnmapHugePages(pixels, bytes);
    return QImage();
  }
  QImage image(static_cast<uchar*>(pixels), w, h, static_cast<qsizetype>(w) * 4, format, unmap, mapping);
  if (image.isNull()) unmap(mapping);
  return image;
}
