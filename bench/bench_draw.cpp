// Drawing items through zvItem::Display on a 1920x1080 raster surface, each
// next to raw QPainter drawing the same primitives on the same kind of
// image in the same run: short lines, long lines, whole circles, repeated
// texts, and lines that each follow a line-colour item. Each runs on an
// image of device pixel ratio 1 (argument 1) and 2 (argument 2: 3840x2160
// device pixels, the same logical picture); at ratio 2 raw QPainter draws
// with a one-unit pen, which covers what the surface's thin pen covers.
// Without a raw counterpart: dashed short lines, long lines that cross the
// picture from outside it, and short lines under a view at zoom 2.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterFont.h"
#include "framework/surface/RasterSurface.h"
#include "items/DrawAttributes.h"
#include "items/ItemDisplay.h"
#include "tests/framework/surface/RasterSurfaceProbe.h"
#include "tests/items/zvItemProbe.h"

namespace {

constexpr int W = 1920, H = 1080;
constexpr int kShortLines = 1000000, kLongLines = 100000, kCircles = 100000, kTexts = 100000;
constexpr int kColouredLines = 1000000;

zvItem item(int kind, std::vector<int> a, const char* s = "") {
  return zvItem(kind, static_cast<int>(a.size()), a.data(), s);
}

// Item coordinates (y up) of n lines; `len` bounds the length (0: anywhere).
std::vector<zvItem> lines(int n, int len, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<zvItem> v;
  v.reserve(n);
  for (int i = 0; i < n; ++i) {
    const int x = static_cast<int>(rng() % W), y = static_cast<int>(rng() % H);
    if (len) {
      const int dx = static_cast<int>(rng() % (2 * len + 1)) - len;
      const int dy = static_cast<int>(rng() % (2 * len + 1)) - len;
      v.push_back(item(ZV_LINE, {x, y, x + dx, y + dy}));
    } else {
      v.push_back(item(ZV_LINE, {x, y, static_cast<int>(rng() % W), static_cast<int>(rng() % H)}));
    }
  }
  return v;
}

std::vector<zvItem> circles() {
  std::mt19937 rng(3);
  std::vector<zvItem> v;
  for (int i = 0; i < kCircles; ++i)
    v.push_back(item(ZV_CIRCLE, {static_cast<int>(rng() % W), static_cast<int>(rng() % H),
                                 5 + static_cast<int>(rng() % 60)}));
  return v;
}

std::vector<std::string> labels() {
  std::vector<std::string> v;
  for (int i = 0; i < 50; ++i) v.push_back("Label " + std::to_string(i * 37));
  return v;
}

std::vector<zvItem> texts() {
  std::mt19937 rng(4);
  const auto names = labels();
  std::vector<zvItem> v;
  for (int i = 0; i < kTexts; ++i) {
    const std::string& s = names[rng() % names.size()];
    v.push_back(item(ZV_TEXT,
                     {static_cast<int>(rng() % W), static_cast<int>(rng() % H), static_cast<int>(s.size())},
                     s.c_str()));
  }
  return v;
}

// A line-colour item before every line; neighbouring colours differ.
std::vector<zvItem> colouredLines() {
  std::mt19937 rng(5);
  const auto ls = lines(kColouredLines, 10, 6);
  std::vector<zvItem> v;
  v.reserve(2 * ls.size());
  for (std::size_t i = 0; i < ls.size(); ++i) {
    const int c = static_cast<int>(i % 64);
    v.push_back(item(ZV_LINE_COLOR, {c * 4, 255 - c * 3, (c * 97) & 255}));
    v.push_back(ls[i]);
  }
  return v;
}

// The picture's start: white lines of width 1, white 12-unit text.
// A black image of W x H logical pixels at `ratio`.
QImage blackImage(int ratio) {
  QImage img(W * ratio, H * ratio, QImage::Format_RGB32);
  img.setDevicePixelRatio(ratio);
  img.fill(Qt::black);
  return img;
}

int ratioOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

struct ItemCanvas {
  QImage img;
  RasterSurface surface;
  TClientDC dc{surface};
  DrawAttributes attributes;
  explicit ItemCanvas(int ratio, double zoom = 1) : img(blackImage(ratio)), surface(&img) {
    surface.SetView(zoom, 0, 0);
    dc.SetViewportOrgEx(0, H);
    dc.SetBkMode(TRANSPARENT);
    for (zvItem i :
         {item(ZV_LINE_COLOR, {255, 255, 255}), item(ZV_LINE_WIDTH, {1}),
          item(ZV_TEXT_COLOR, {255, 255, 255}), item(ZV_TEXT_HEIGHT, {12}), item(ZV_TEXT_FONT, {5}, "Arial")})
      i.Display(&dc, attributes);
  }
  void run(std::vector<zvItem>& items) {
    for (zvItem& i : items) i.Display(&dc, attributes);
  }
};

struct RawCanvas {
  QImage img;
  QPainter p;
  explicit RawCanvas(int ratio) : img(blackImage(ratio)) {
    p.begin(&img);
    QPen pen(Qt::white, ratio == 1 ? 0 : 1);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
  }
};

std::vector<std::array<int, 5>> argsOf(const std::vector<zvItem>& v) {
  std::vector<std::array<int, 5>> out;
  out.reserve(v.size());
  for (const zvItem& i : v) out.push_back(zvItemProbe::args(i));
  return out;
}

void itemsPerSecond(benchmark::State& state, std::size_t perIteration) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * perIteration));
}

void BM_ItemShortLines(benchmark::State& state) {
  static auto v = lines(kShortLines, 10, 1);
  ItemCanvas c(ratioOf(state));
  for (auto _ : state) c.run(v);
  itemsPerSecond(state, v.size());
}

void BM_RawShortLines(benchmark::State& state) {
  static auto a = argsOf(lines(kShortLines, 10, 1));
  RawCanvas c(ratioOf(state));
  for (auto _ : state)
    for (const auto& l : a) c.p.drawLine(l[0], H - l[1], l[2], H - l[3]);
  itemsPerSecond(state, a.size());
}

void BM_ItemLongLines(benchmark::State& state) {
  static auto v = lines(kLongLines, 0, 2);
  ItemCanvas c(ratioOf(state));
  for (auto _ : state) c.run(v);
  itemsPerSecond(state, v.size());
}

void BM_RawLongLines(benchmark::State& state) {
  static auto a = argsOf(lines(kLongLines, 0, 2));
  RawCanvas c(ratioOf(state));
  for (auto _ : state)
    for (const auto& l : a) c.p.drawLine(l[0], H - l[1], l[2], H - l[3]);
  itemsPerSecond(state, a.size());
}

void BM_ItemCircles(benchmark::State& state) {
  static auto v = circles();
  ItemCanvas c(ratioOf(state));
  for (auto _ : state) c.run(v);
  itemsPerSecond(state, v.size());
}

void BM_RawDrawArcCircles(benchmark::State& state) {
  static auto a = argsOf(circles());
  RawCanvas c(ratioOf(state));
  for (auto _ : state)
    for (const auto& k : a)
      c.p.drawArc(QRectF(k[0] - k[2], H - k[1] - k[2], 2.0 * k[2], 2.0 * k[2]), 0, 360 * 16);
  itemsPerSecond(state, a.size());
}

void BM_RawDrawEllipseCircles(benchmark::State& state) {
  static auto a = argsOf(circles());
  RawCanvas c(ratioOf(state));
  for (auto _ : state)
    for (const auto& k : a) c.p.drawEllipse(QRect(k[0] - k[2], H - k[1] - k[2], 2 * k[2], 2 * k[2]));
  itemsPerSecond(state, a.size());
}

void BM_ItemTexts(benchmark::State& state) {
  static auto v = texts();
  ItemCanvas c(ratioOf(state));
  for (auto _ : state) c.run(v);
  itemsPerSecond(state, v.size());
}

void BM_RawDrawTextTexts(benchmark::State& state) {
  static auto v = texts();
  static auto a = argsOf(v);
  std::vector<QString> strings;
  for (const zvItem& i : v) strings.push_back(QString::fromStdString(zvItemProbe::str(i)));
  FontDesc d;
  d.height = 12;
  d.hasFace = true;
  d.face = "Arial";
  const auto font = RasterFontFor(d);
  RawCanvas c(ratioOf(state));
  c.p.setFont(font->font);
  c.p.setPen(Qt::white);
  for (auto _ : state)
    for (std::size_t k = 0; k < a.size(); ++k)
      c.p.drawText(QPointF(a[k][0], H - a[k][1] + font->ascent), strings[k]);
  itemsPerSecond(state, a.size());
}

void BM_ItemColourAndLine(benchmark::State& state) {
  static auto v = colouredLines();
  ItemCanvas c(ratioOf(state));
  for (auto _ : state) c.run(v);
  itemsPerSecond(state, v.size() / 2);  // lines
}

void BM_RawPenAndLine(benchmark::State& state) {
  static auto v = colouredLines();
  static auto a = argsOf(v);
  RawCanvas c(ratioOf(state));
  for (auto _ : state)
    for (std::size_t k = 0; k + 1 < a.size(); k += 2) {
      QPen pen(QColor(a[k][0] & 255, a[k][1] & 255, a[k][2] & 255), ratioOf(state) == 1 ? 0 : 1);
      pen.setCapStyle(Qt::FlatCap);
      c.p.setPen(pen);
      const auto& l = a[k + 1];
      c.p.drawLine(l[0], H - l[1], l[2], H - l[3]);
    }
  itemsPerSecond(state, a.size() / 2);
}

void BM_ItemDashedShortLines(benchmark::State& state) {
  static auto v = [] {
    auto ls = lines(kShortLines, 10, 1);
    ls.insert(ls.begin(), item(ZV_LINE_TYPE, {2}));
    return ls;
  }();
  ItemCanvas c(ratioOf(state));
  for (auto _ : state) c.run(v);
  itemsPerSecond(state, v.size() - 1);
}

// Lines from 500 pixels outside the picture on one side to as far on the
// other: every one is cut at two edges.
void BM_ItemLinesAcrossTheEdges(benchmark::State& state) {
  static auto v = [] {
    std::mt19937 rng(8);
    std::vector<zvItem> ls;
    for (int i = 0; i < kLongLines; ++i) {
      const int y1 = static_cast<int>(rng() % H), y2 = static_cast<int>(rng() % H);
      ls.push_back(i % 2 ? item(ZV_LINE, {-500, y1, W + 500, y2})
                         : item(ZV_LINE, {y1, -500, y2 + 800, H + 500}));
    }
    return ls;
  }();
  ItemCanvas c(ratioOf(state));
  for (auto _ : state) c.run(v);
  itemsPerSecond(state, v.size());
}

// The short lines under a view at zoom 2: a quarter of them inside.
void BM_ItemShortLinesZoomed(benchmark::State& state) {
  static auto v = lines(kShortLines, 10, 1);
  ItemCanvas c(ratioOf(state), 2);
  for (auto _ : state) c.run(v);
  itemsPerSecond(state, v.size());
}

double residentBytes() { return static_cast<double>(ResidentBytes()); }

// A client writing a million distinct 200-byte texts: the laid-out text
// cache stays within its bound. Every hundredth text is drawn inside the
// picture, the others just below it (laid out and measured, not drawn).
void BM_DistinctLongTexts(benchmark::State& state) {
  constexpr int kDistinct = 1000000;
  ItemCanvas c(1);
  const double rssBefore = residentBytes();
  double most = 0;
  for (auto _ : state) {
    std::string s(200, 'x');
    for (int i = 0; i < kDistinct; ++i) {
      const std::string n = std::to_string(i);
      s.replace(0, n.size(), n);
      c.dc.TextOutA(i % 1800, i % 100 ? 100 : -(i / 100 % H), s.data(), static_cast<int>(s.size()));
      if (i % 1000 == 0)
        most = std::max(most, static_cast<double>(RasterSurfaceProbe::TextCacheBytes(c.surface)));
    }
  }
  state.counters["cache_MiB_max"] = most / (1 << 20);
  state.counters["cache_MiB_end"] =
      static_cast<double>(RasterSurfaceProbe::TextCacheBytes(c.surface)) / (1 << 20);
  state.counters["bound_MiB"] = static_cast<double>(TextCache::kDefaultMaxBytes) / (1 << 20);
  state.counters["rss_growth_MiB"] = (residentBytes() - rssBefore) / (1 << 20);
  itemsPerSecond(state, kDistinct);
}

}  // namespace

BENCHMARK(BM_DistinctLongTexts)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ItemShortLines)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawShortLines)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ItemLongLines)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawLongLines)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ItemCircles)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawDrawArcCircles)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawDrawEllipseCircles)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ItemTexts)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawDrawTextTexts)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ItemColourAndLine)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawPenAndLine)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ItemDashedShortLines)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ItemLinesAcrossTheEdges)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ItemShortLinesZoomed)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv); }
