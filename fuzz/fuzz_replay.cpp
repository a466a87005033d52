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

#include "fuzz/FuzzItems.h"
#include "stream/Replay.h"
#include "tests/support/ReplayInView.h"

namespace {

constexpr int kW = 96, kH = 64;
constexpr int kRuns = 4;

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
  const ReplayView view{v & 0x80 ? 2.0 : 1.0, kZooms[(v & 0x7F) % 6], (in.value() % 4000) / 4.0,
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
  const QImage passing =
      ReplayInView(state, kW, kH, view, [&](RasterSurface&, TClientDC& dc) { ReplayDisplayList(state, dc); });
  const QImage each =
      ReplayInView(state, kW, kH, view, [&](RasterSurface&, TClientDC& dc) { ReplayEachItem(state, dc); });
  if (passing != each) std::abort();
  return 0;
}
