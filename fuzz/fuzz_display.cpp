// Random items of any kind and any values rendered onto a 256x256 raster
// surface with the origin at its bottom-left corner: no crash, no sanitizer
// report, and no single item slower than 50 ms.
//
// Input: a sequence of items. Each takes one kind byte, then five argument
// values, each a selector byte followed (for selector 0) by four raw bytes,
// then a length byte and that many text bytes.
#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterSurface.h"
#include "items/DrawAttributes.h"
#include "fuzz/FuzzItems.h"
#include "items/ItemDisplay.h"

namespace {

QImage* image;

}  // namespace

// Fontconfig keeps some of its pattern caches unreachable until exit; that
// is the library's own business, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  new QGuiApplication(*argc, *argv);
  image = new QImage(256, 256, QImage::Format_RGB32);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzReader in{data, size};
  DrawAttributes attributes;
  image->fill(0xFF000000u);
  RasterSurface surface(image);
  TClientDC dc(surface);
  dc.SetViewportOrgEx(0, 256);
  dc.SetBkMode(TRANSPARENT);
  DisplayTarget target{&dc, &attributes};
  int items = 0;
  while (!in.empty() && items++ < 64) {
    const FuzzReader::Item read = in.item();
    const std::uint8_t k = read.k;
    const int* args = read.args;
    zvItem item = read.Make();
    // Retargeting keeps the state; do it now and then as a resize would.
    if (k == 0xEF) surface.Retarget(image);
    // A view now and then, as zooming and panning the window sets one.
    static constexpr double kZooms[] = {1.0 / 16, 0.5, 1.4142135623730951, 1, 2, 64};
    if (k == 0xEE) surface.SetView(kZooms[(args[0] & 7) % 6], args[1] % 100000, args[2] % 100000);
    const auto t0 = std::chrono::steady_clock::now();
    DisplayItem(item, &target);
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (ms > 50) {
      std::fprintf(stderr, "item kind %d args %d %d %d %d %d took %.1f ms\n", item.GetFunc(), args[0], args[1],
                   args[2], args[3], args[4], ms);
      std::abort();
    }
  }
  return 0;
}
