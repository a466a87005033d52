// Runs of random items replayed twice on a raster surface in a random view:
// by the replay, which passes over runs that cannot show, and item by item.
// Property: the same pixels, and the same current position after it (a
// line drawn from there last); no crash, no sanitizer report.
//
// Input: a view byte (zoom and ratio) and two pan values, then up to four
// runs. Each run is an item (as fuzz_display reads one), a step and a
// count byte c: the run holds 2c + 1 copies of the item, copy i moved i
// steps from it, so that a run lies wholly in one place or strays through
// the picture, and the list's runs of 256 items and its end fall anywhere.
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterSurface.h"
#include "fuzz/FuzzItems.h"
#include "items/ItemDisplay.h"
#include "stream/DisplayState.h"
#include "stream/Replay.h"

namespace {

constexpr int kW = 96, kH = 64;
constexpr int kRuns = 4;

struct View {
  double ratio, zoom, panX, panY;
};

// The list replayed in `view` on a black image, then a line to the middle.
QImage replay(DisplayState& state, const View& view, bool passing) {
  QImage image(static_cast<int>(kW * view.ratio), static_cast<int>(kH * view.ratio), QImage::Format_RGB32);
  image.setDevicePixelRatio(view.ratio);
  image.fill(0xFF000000u);
  {
    RasterSurface surface(&image);
    surface.SetView(view.zoom, view.panX, view.panY);
    TClientDC dc(surface);
    dc.SetViewportOrgEx(0, kH);
    dc.SetBkMode(TRANSPARENT);
    state.resetDrawAttributes();
    if (passing) {
      ReplayDisplayList(state, dc);
    } else {
      DisplayTarget target{&dc, &state};
      state.displayList.ForEach(DisplayItem, &target, 0, state.displayList.Count());
    }
    dc.LineTo(kW / 2, -kH / 2);
  }
  return image;
}

int moved(int v, long long by) {
  const long long m = v + by;
  return m > INT32_MAX ? INT32_MAX : m < INT32_MIN ? INT32_MIN : static_cast<int>(m);
}

}  // namespace

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  new QGuiApplication(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzReader in{data, size};
  static constexpr double kZooms[] = {1, 2, 0.5, 1.4142135623730951, 1.0 / 16, 64};
  const std::uint8_t v = in.byte();
  const View view{v & 0x80 ? 2.0 : 1.0, kZooms[(v & 0x7F) % 6], (in.value() % 4000) / 4.0,
                  (in.value() % 4000) / 4.0};
  DisplayState state;
  for (int r = 0; r < kRuns && !in.empty(); ++r) {
    FuzzReader::Item item = in.item();
    const int x = item.args[0], y = item.args[1];
    const int stepX = in.value(), stepY = in.value();
    const int copies = 1 + 2 * in.byte();
    for (int i = 0; i < copies; ++i) {
      item.args[0] = moved(x, 1LL * i * stepX);
      item.args[1] = moved(y, 1LL * i * stepY);
      state.displayList.Add(item.Make());
    }
  }
  const QImage passing = replay(state, view, true);
  const QImage each = replay(state, view, false);
  if (passing != each) std::abort();
  return 0;
}
