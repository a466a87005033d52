// What text costs when fonts change and when a client clears and redraws.
//
// BM_TextsOneFont and BM_TextsCyclingHeights draw the same 2,000 texts
// through zvItem::Display on a 1920x1080 raster surface, as zorva-render
// does (each text drawn as it arrives, then once more in the replay): once
// in one font, once with a text-height item before every text cycling
// through 192 heights. BM_FontCyclingRatio times both on fresh surfaces in
// the same run and reports cycling / one font: its first iteration meets
// every font for the first time (cold), the later ones meet fonts made
// before.
//
// BM_FontEntryMemory makes a few hundred distinct fonts and draws a text in
// each, reporting the resident memory each costs: the figure the font
// cache's capacity is sized from.
//
// BM_ClearedGroups follows a command file through the command stream into
// a display list drawn on a raster surface: 20 times the same 50,000
// distinct long texts, a clear item after each group, and reports the
// resident memory after every group (first, last, most).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "display/CommandStream.h"
#include "display/DisplayState.h"
#include "display/HeadlessHost.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/GdiObjects.h"
#include "framework/surface/RasterFont.h"
#include "framework/surface/RasterSurface.h"
#include "items/DrawAttributes.h"
#include "items/zvItem.h"

namespace {

constexpr int W = 1920, H = 1080;
constexpr int kTexts = 2000, kHeights = 192, kOneHeight = 16;

zvItem item(int kind, std::vector<int> a, const char* s = "") {
  return zvItem(kind, static_cast<int>(a.size()), a.data(), s);
}

// Resident set size of the process, bytes.
double residentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

constexpr double kMiB = 1 << 20;

// The texts, each after a text-height item when `cycling` (heights 8 to
// 199 in turn), else after one height item at the start.
std::vector<zvItem> textItems(bool cycling) {
  std::mt19937 rng(7);
  std::vector<zvItem> v;
  if (!cycling) v.push_back(item(ZV_TEXT_HEIGHT, {kOneHeight}));
  for (int i = 0; i < kTexts; ++i) {
    const std::string s = "Label " + std::to_string(i * 37 % 1000);
    const int x = static_cast<int>(rng() % (W - 200)), y = static_cast<int>(rng() % H);
    if (cycling) v.push_back(item(ZV_TEXT_HEIGHT, {8 + i % kHeights}));
    v.push_back(item(ZV_TEXT, {x, y, static_cast<int>(s.size())}, s.c_str()));
  }
  return v;
}

// A black picture with white Arial text, drawn on as the display draws.
struct Canvas {
  QImage img{W, H, QImage::Format_RGB32};
  RasterSurface surface{&img};
  TClientDC dc{surface};
  DrawAttributes attributes;
  Canvas() {
    img.fill(Qt::black);
    dc.SetViewportOrgEx(0, H);
    dc.SetBkMode(TRANSPARENT);
    for (zvItem i : {item(ZV_TEXT_COLOR, {255, 255, 255}), item(ZV_TEXT_FONT, {5}, "Arial")})
      i.Display(&dc, attributes);
  }
  // Each item as it arrives, then the replay of them all.
  void drawAndReplay(std::vector<zvItem>& items) {
    for (int pass = 0; pass < 2; ++pass)
      for (zvItem& i : items) i.Display(&dc, attributes);
  }
};

void texts(benchmark::State& state, bool cycling) {
  static std::vector<zvItem> lists[2] = {textItems(false), textItems(true)};
  std::vector<zvItem>& v = lists[cycling];
  for (auto _ : state) {
    Canvas c;
    c.drawAndReplay(v);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2 * kTexts);
}

void BM_TextsOneFont(benchmark::State& state) { texts(state, false); }
void BM_TextsCyclingHeights(benchmark::State& state) { texts(state, true); }

double secondsToDraw(std::vector<zvItem>& items) {
  const auto start = std::chrono::steady_clock::now();
  Canvas c;
  c.drawAndReplay(items);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Run first, so that the fonts of the cycling heights are new to it.
void BM_FontCyclingRatio(benchmark::State& state) {
  std::vector<zvItem> one = textItems(false), cycling = textItems(true);
  double oneTotal = 0, cyclingTotal = 0, coldRatio = 0;
  int warm = 0;
  for (auto _ : state) {
    const double a = secondsToDraw(one), b = secondsToDraw(cycling);
    if (coldRatio == 0) {
      coldRatio = b / a;
      state.counters["cold_one_font_ms"] = a * 1e3;
      state.counters["cold_cycling_ms"] = b * 1e3;
      continue;
    }
    oneTotal += a;
    cyclingTotal += b;
    ++warm;
  }
  state.counters["cold_ratio"] = coldRatio;
  if (warm) {
    state.counters["one_font_ms"] = oneTotal / warm * 1e3;
    state.counters["cycling_ms"] = cyclingTotal / warm * 1e3;
    state.counters["ratio"] = cyclingTotal / oneTotal;
  }
}

// Distinct descriptions: 128 em heights (10 to 137 pixels, glyphs below
// 64 pixels are kept as images, larger ones drawn as outlines), bold or
// not, italic or not, in a face no other benchmark here uses.
void BM_FontEntryMemory(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  double perFont = 0;
  for (auto _ : state) {
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Qt::black);
    RasterSurface surface(&img);
    surface.SetBkMode(TRANSPARENT);
    std::vector<GdiHandle> made;
    const double before = residentBytes();
    const std::string s = "Label 123";
    for (int i = 0; i < count; ++i) {
      FontDesc d;
      d.height = -(10 + i % 128);
      d.weight = i / 128 % 2 ? 700 : 400;
      d.italic = i / 256 % 2;
      d.hasFace = true;
      d.face = "DejaVu Sans";
      made.push_back(GdiObjects::CreateFontA(d));
      surface.SelectObject(made.back());
      surface.TextOutA(i % 1700, i % 1000, s.data(), static_cast<int>(s.size()));
    }
    perFont = (residentBytes() - before) / count;
    surface.SelectObject(GdiObjects::DefaultFont);
    for (GdiHandle h : made) GdiObjects::DeleteObject(h);
  }
  state.counters["rss_per_font_KiB"] = perFont / 1024;
  state.counters["fonts_kept"] = static_cast<double>(RasterFontCacheSize());
}

// One group: `texts` distinct 150-byte texts, then a clear item.
std::string groupFile(int texts) {
  const std::string path = "/tmp/zorva-bench-cleared-group-" + std::to_string(texts) + ".zv";
  if (FILE* probe = std::fopen(path.c_str(), "rb")) {
    std::fclose(probe);
    return path;
  }
  const std::string part = path + ".part";
  FILE* f = std::fopen(part.c_str(), "wb");
  std::string s(150, 'x');
  for (int i = 0; i < texts; ++i) {
    const std::string n = std::to_string(i);
    s.replace(0, n.size(), n);
    std::fprintf(f, "3 4 %d %d %zu %s\n", i % 1800, i % 1000, s.size(), s.c_str());
  }
  std::fputs("12 0 \n", f);
  std::fclose(f);
  std::rename(part.c_str(), path.c_str());
  return path;
}

void BM_ClearedGroups(benchmark::State& state) {
  constexpr int kGroups = 20, kGroupTexts = 50000;
  const std::string path = groupFile(kGroupTexts);
  std::vector<double> rss;
  for (auto _ : state) {
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Qt::black);
    RasterSurface surface(&img);
    TClientDC dc(surface);
    dc.SetViewportOrgEx(0, H);
    DisplayState display;
    HeadlessHost host(W, H);
    for (int g = 0; g < kGroups; ++g) {
      const int fd = ::open(path.c_str(), O_RDONLY);
      CommandStream stream(host, display, fd, &dc);
      stream.EvTimer(1);
      ::close(fd);
      rss.push_back(residentBytes());
    }
  }
  state.counters["rss_first_MiB"] = rss.front() / kMiB;
  state.counters["rss_last_MiB"] = rss.back() / kMiB;
  state.counters["rss_max_MiB"] = *std::max_element(rss.begin(), rss.end()) / kMiB;
  state.counters["rss_growth_MiB"] = (rss.back() - rss.front()) / kMiB;
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kGroups * kGroupTexts);
}

}  // namespace

BENCHMARK(BM_FontCyclingRatio)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_TextsOneFont)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TextsCyclingHeights)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FontEntryMemory)->Arg(512)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ClearedGroups)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
