// Replaying a display list of 1M short line items (with its seven attribute
// items first) in the display window's paint cycle on a 1920x1080 client
// area, next to raw QPainter drawing the same lines on an image of the same
// size with the same pen. The same replay also runs straight on a raster
// surface over an image of device pixel ratio 1 and 2, the latter next to
// raw QPainter drawing one-unit lines on a ratio-2 image. The window's
// replay also runs after two zoom steps (zoom 2 about the middle); the
// image's replay also runs over as many items that draw nothing and as many
// that lie far outside the picture. Both pass over whole runs of items that
// cannot show: the first costs the walk over the runs' summaries, the
// second that and the test of each run against the picture.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/ProgramResources.h"
#include "app/TDrawApp.h"
#include "stream/CommandFile.h"
#include "stream/CommandStream.h"
#include "stream/DisplayState.h"
#include "stream/HeadlessHost.h"
#include "stream/Replay.h"
#include "window/Commands.h"
#include "window/TZorvaWindow.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterSurface.h"

namespace {
// The display window, with the program's resources.
const bool registered = [] {
  UseProgramResources();
  return true;
}();
}  // namespace

namespace {

constexpr int kLines = 1'000'000;
constexpr int kW = 1920, kH = 1080;

struct Segment {
  int x1, y1, x2, y2;
};

const std::vector<Segment>& segments() {
  static const std::vector<Segment> s = [] {
    std::mt19937 rng(3);
    std::vector<Segment> v;
    v.reserve(kLines);
    for (int i = 0; i < kLines; ++i) {
      const int x = static_cast<int>(rng() % 1900), y = static_cast<int>(rng() % 1060);
      v.push_back({x, y, x + static_cast<int>(rng() % 21) - 10, y + static_cast<int>(rng() % 21) - 10});
    }
    return v;
  }();
  return s;
}

void BM_WindowReplay(benchmark::State& state) {
  const std::string path = "/tmp/zorva-bench-replay-" + std::to_string(::getpid()) + ".zv";
  std::ofstream(path) << "0 0 ";
  DisplayState display;
  TDrawApp app(display);
  auto file = std::make_unique<CommandFile>();
  if (!file->Open(path.c_str())) {
    state.SkipWithError("cannot open the command file");
    return;
  }
  auto* window = new TZorvaWindow("ZORVA daemon", std::move(file), display);
  window->Attr.Style &= ~WS_VISIBLE;
  window->Attr.W = kW;
  window->Attr.H = kH;
  app.SetMainWindow(window);
  window->Create();
  window->HandleMessage(WM_TIMER, 1);  // the start item: the seven defaults
  for (const Segment& s : segments()) {
    const int a[4] = {s.x1, s.y1, s.x2, s.y2};
    display.displayList.Add(zvItem(ZV_LINE, 4, a, ""));
  }
  // Each paint replays the whole list in one slice.
  window->SetSlice(std::chrono::hours(1));
  // Zoom steps of the square root of 2 about the middle (2: zoom 2).
  for (int i = 0; i < state.range(0); ++i) window->HandleMessage(WM_COMMAND, CM_ZOOMIN);
  for (auto _ : state) window->HandleMessage(WM_PAINT);
  state.SetItemsProcessed(static_cast<long>(state.iterations()) * display.displayList.Count());
  state.counters["client_w"] = window->ClientImage().width();
  state.counters["client_h"] = window->ClientImage().height();
  app.SetMainWindow(nullptr);
  delete window;
  std::remove(path.c_str());
}

void BM_RawQPainter(benchmark::State& state) {
  QImage image(kW, kH, QImage::Format_RGB32);
  image.fill(Qt::black);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.translate(0, kH);
    painter.setPen(QPen(Qt::white, 0));
    for (const Segment& s : segments()) painter.drawLine(QLine(s.x1, -s.y1, s.x2, -s.y2));
  }
  state.SetItemsProcessed(static_cast<long>(state.iterations()) * kLines);
}

// Replays, straight on a raster surface over a kW x kH image at `ratio`,
// the start item's seven defaults followed by the items `fill` adds.
template <typename Fill>
void replayOnImage(benchmark::State& state, int ratio, Fill fill) {
  // Fonts need a GUI application; the window's benchmark makes its own.
  static int argc = 1;
  static char name[] = "bench_replay";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QGuiApplication> app;
  if (!QCoreApplication::instance()) app = std::make_unique<QGuiApplication>(argc, argv);
  const std::string path = "/tmp/zorva-bench-replay-" + std::to_string(::getpid()) + ".zv";
  std::ofstream(path) << "0 0 ";
  QImage image(kW * ratio, kH * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::black);
  RasterSurface surface(&image);
  DisplayState display;
  {
    TClientDC dc(surface);
    dc.SetViewportOrgEx(0, kH);
    // The start item: the seven defaults, as the window gets them.
    HeadlessHost host(kW, kH);
    const int fd = ::open(path.c_str(), O_RDONLY);
    CommandStream(host, display, fd, &dc).EvTimer(1);
    ::close(fd);
    fill(display.displayList);
    for (auto _ : state) ReplayDisplayList(display, dc);
  }
  state.SetItemsProcessed(static_cast<long>(state.iterations()) * display.displayList.Count());
  std::remove(path.c_str());
}

void BM_ImageReplay(benchmark::State& state) {
  replayOnImage(state, static_cast<int>(state.range(0)), [](itemList& list) {
    for (const Segment& s : segments()) {
      const int a[4] = {s.x1, s.y1, s.x2, s.y2};
      list.Add(zvItem(ZV_LINE, 4, a, ""));
    }
  });
}

// As many items as the short lines, of a kind that draws nothing: the cost
// of the replay's walk over the list alone.
void BM_ImageReplayNothing(benchmark::State& state) {
  replayOnImage(state, 1, [](itemList& list) {
    const int a[4] = {1, 2, 3, 4};
    for (int i = 0; i < kLines; ++i) list.Add(zvItem(20, 4, a, ""));
  });
}

// As many lines, circles, arcs, texts and polylines, all far outside the
// picture (near the ends of the integer range): what culling them costs.
void BM_ImageReplayFarOutside(benchmark::State& state) {
  replayOnImage(state, 1, [](itemList& list) {
    std::mt19937 rng(5);
    constexpr int kFar = 2147483000;
    for (int i = 0; i < kLines; ++i) {
      const int sx = rng() % 2 ? 1 : -1, sy = rng() % 2 ? 1 : -1;
      const int x = sx * (kFar + static_cast<int>(rng() % 600)), y = sy * (kFar + static_cast<int>(rng() % 600));
      switch (i % 6) {
        case 0: case 1: {
          const int a[4] = {x, y, x - sx * 20, y - sy * 20};
          list.Add(zvItem(ZV_LINE, 4, a, ""));
          break;
        }
        case 2: {
          const int a[3] = {x, y, 10};
          list.Add(zvItem(ZV_CIRCLE, 3, a, ""));
          break;
        }
        case 3: {
          const int a[5] = {x, y, 10, 30, 200};
          list.Add(zvItem(ZV_ARC, 5, a, ""));
          break;
        }
        case 4: {
          const int a[3] = {x, y, 5};
          list.Add(zvItem(ZV_TEXT, 3, a, "Zorva"));
          break;
        }
        default: {
          const int a[2] = {x, y}, b[2] = {x - sx * 15, y};
          list.Add(zvItem(ZV_POLYLINE, 2, a, ""));
          list.Add(zvItem(ZV_POLYVERTEX, 2, b, ""));
          ++i;
          break;
        }
      }
    }
  });
}

void BM_RawQPainterRatio2(benchmark::State& state) {
  QImage image(2 * kW, 2 * kH, QImage::Format_RGB32);
  image.setDevicePixelRatio(2);
  image.fill(Qt::black);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.translate(0, kH);
    QPen pen(Qt::white, 1);  // one logical pixel, as the surface's thin pen
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    for (const Segment& s : segments()) painter.drawLine(QLine(s.x1, -s.y1, s.x2, -s.y2));
  }
  state.SetItemsProcessed(static_cast<long>(state.iterations()) * kLines);
}

}  // namespace

BENCHMARK(BM_WindowReplay)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawQPainter)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImageReplay)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImageReplayNothing)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImageReplayFarOutside)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawQPainterRatio2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
