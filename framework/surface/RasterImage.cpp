#include "framework/surface/RasterImage.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kLargest = std::size_t{1} << 30;

void freePixels(void* pixels) { std::free(pixels); }

}  // namespace

QImage NewRasterImage(int w, int h, QImage::Format format) {
  if (w <= 0 || h <= 0) return QImage();
  const std::size_t bytes = static_cast<std::size_t>(w) * 4 * static_cast<std::size_t>(h);
  // Small images gain nothing from a huge page, and huge ones are left to
  // Qt's own limits and allocation.
  if (bytes < kHugePage || bytes > kLargest) return QImage(w, h, format);
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* pixels = std::aligned_alloc(kHugePage, rounded);
  if (!pixels) return QImage();
  // Only advice: where the kernel has no huge pages to give, the image
  // simply stays on ordinary pages.
  madvise(pixels, rounded, MADV_HUGEPAGE);
  QImage image(static_cast<uchar*>(pixels), w, h, static_cast<qsizetype>(w) * 4, format, freePixels, pixels);
  if (image.isNull()) std::free(pixels);
  return image;
}
