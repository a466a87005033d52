// What text costs when fonts change and when a client clears and redraws.
//
// BM_FontEntryMemory makes 4,096 distinct fonts, drawing a text in each,
// and reports the resident memory a kept font costs (the figure the font
// cache's capacity is sized from) and what the memory does past the
// capacity. It runs first, while the heap holds no freed memory to reuse.
//
// The text benchmarks draw 2,000 texts through zvItem::Display on a
// 1920x1080 raster surface, as zorva-render does (each text drawn as it
// arrives, then once more in the replay): in one 16-pixel font; with a
// text-height item before every text, cycling through 192 heights; and
// with the same heights each held for ten texts. BM_FontCyclingRatio times
// the three on fresh surfaces in the same run and reports the ratios: its
// first iteration meets every font for the first time (cold), the later
// ones meet fonts made before. Glyphs above 64 pixels are drawn from masks
// the surface makes once per size (Qt fills their outlines at every
// drawing), which still costs more than a 16-pixel text; the blocked
// heights draw the same and so show what the font changes alone cost.
// BM_RepaintOneFont and BM_RepaintCyclingHeights replay the texts on one
// surface again and again, as a window repaints.
//
// BM_ClearedGroups follows a command file through the command stream into
// a display list drawn on a raster surface: 20 times the same 25,000
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

#include "bench/BenchSupport.h"
#include "bench/LineFile.h"
#include "stream/CommandStream.h"
#include "stream/DisplayState.h"
#include "stream/HeadlessHost.h"
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

double residentBytes() { return static_cast<double>(ResidentBytes()); }

constexpr double kMiB = 1 << 20;

// How the texts change fonts: one height item at the start; a height item
// before every text, cycling through 192 heights (8 to 199); or the same
// heights, each held for the next ten or so texts (the same drawing as
// cycling, with a font change every tenth text).
enum class Heights { One, Cycling, Blocked };

std::vector<zvItem> textItems(Heights heights) {
  std::mt19937 rng(7);
  std::vector<zvItem> v;
  if (heights == Heights::One) v.push_back(item(ZV_TEXT_HEIGHT, {kOneHeight}));
  for (int i = 0; i < kTexts; ++i) {
    const std::string s = "Label " + std::to_string(i * 37 % 1000);
    const int x = static_cast<int>(rng() % (W - 200)), y = static_cast<int>(rng() % H);
    if (heights == Heights::Cycling) v.push_back(item(ZV_TEXT_HEIGHT, {8 + i % kHeights}));
    if (heights == Heights::Blocked && i * kHeights / kTexts != (i - 1) * kHeights / kTexts)
      v.push_back(item(ZV_TEXT_HEIGHT, {8 + i * kHeights / kTexts}));
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

void texts(benchmark::State& state, Heights heights) {
  std::vector<zvItem> v = textItems(heights);
  for (auto _ : state) {
    Canvas c;
    c.drawAndReplay(v);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2 * kTexts);
}

// A window's repaint: the same surface replays the items again and again.
void repaints(benchmark::State& state, Heights heights) {
  std::vector<zvItem> v = textItems(heights);
  Canvas c;
  c.drawAndReplay(v);
  for (auto _ : state)
    for (zvItem& i : v) i.Display(&c.dc, c.attributes);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kTexts);
}

void BM_RepaintOneFont(benchmark::State& state) { repaints(state, Heights::One); }
void BM_RepaintCyclingHeights(benchmark::State& state) { repaints(state, Heights::Cycling); }

void BM_TextsOneFont(benchmark::State& state) { texts(state, Heights::One); }
void BM_TextsCyclingHeights(benchmark::State& state) { texts(state, Heights::Cycling); }
void BM_TextsBlockedHeights(benchmark::State& state) { texts(state, Heights::Blocked); }

double secondsToDraw(std::vector<zvItem>& items) {
  const auto start = std::chrono::steady_clock::now();
  Canvas c;
  c.drawAndReplay(items);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Run before the other text benchmarks, so that the fonts of the heights
// are new to its first iteration. Cycling over one font is what font
// changes and large text cost together; cycling over blocked is what the
// font changes alone cost.
void BM_FontCyclingRatio(benchmark::State& state) {
  std::vector<zvItem> lists[3] = {textItems(Heights::One), textItems(Heights::Cycling),
                                  textItems(Heights::Blocked)};
  double total[3] = {}, cold[3] = {};
  bool first = true;
  for (auto _ : state) {
    double* into = first ? cold : total;
    for (int k = 0; k < 3; ++k) into[k] += secondsToDraw(lists[k]);
    first = false;
  }
  state.counters["cold_one_font_ms"] = cold[0] * 1e3;
  state.counters["cold_cycling_ms"] = cold[1] * 1e3;
  state.counters["cold_ratio"] = cold[1] / cold[0];
  const double warm = static_cast<double>(state.iterations() - 1);
  if (warm > 0) {
    state.counters["one_font_ms"] = total[0] / warm * 1e3;
    state.counters["cycling_ms"] = total[1] / warm * 1e3;
    state.counters["blocked_ms"] = total[2] / warm * 1e3;
    state.counters["ratio"] = total[1] / total[0];
    state.counters["cycling_over_blocked"] = total[1] / total[2];
  }
}

// 4,096 distinct descriptions: 128 em heights (10 to 137 pixels; glyphs
// below 64 pixels are kept as images, larger ones drawn as outlines), eight
// weights, upright or italic, in two faces no other benchmark here uses. A
// kept font costs what the resident memory grows from the 256th to the
// 512th font (past the one-time cost of loading a face). Past the cache's
// capacity the memory grows a little further while Qt's own font cache
// keeps engines of fonts that left, then stays: compare 1,024 fonts with
// 4,096.
void BM_FontEntryMemory(benchmark::State& state) {
  constexpr int kFonts = 4096;
  double at256 = 0, at512 = 0, at1024 = 0, atEnd = 0;
  for (auto _ : state) {
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Qt::black);
    RasterSurface surface(&img);
    surface.SetBkMode(TRANSPARENT);
    std::vector<GdiHandle> made;
    const std::string s = "Label 123";
    for (int i = 0; i < kFonts; ++i) {
      FontDesc d;
      d.height = -(10 + i % 128);
      d.weight = 100 + 100 * (i / 128 % 8);
      d.italic = i / 1024 % 2;
      d.hasFace = true;
      d.face = i < 2048 ? "DejaVu Sans" : "DejaVu Serif";
      made.push_back(GdiObjects::CreateFontA(d));
      surface.SelectObject(made.back());
      surface.TextOutA(i % 1700, i % 1000, s.data(), static_cast<int>(s.size()));
      if (i + 1 == 256) at256 = residentBytes();
      if (i + 1 == 512) at512 = residentBytes();
      if (i + 1 == 1024) at1024 = residentBytes();
    }
    atEnd = residentBytes();
    surface.SelectObject(GdiObjects::DefaultFont);
    for (GdiHandle h : made) GdiObjects::DeleteObject(h);
  }
  state.counters["rss_per_font_KiB"] = (at512 - at256) / 256 / 1024;
  state.counters["rss_1k_fonts_MiB"] = at1024 / kMiB;
  state.counters["rss_4k_fonts_MiB"] = atEnd / kMiB;
  state.counters["fonts_kept"] = static_cast<double>(RasterFontCacheSize());
}

// One group: `texts` distinct 150-byte texts, then a clear item.
std::string groupFile(int texts) {
  return benchFile("/tmp/zorva-bench-cleared-group-" + std::to_string(texts) + ".zv", [texts](FILE* f) {
    std::string s(150, 'x');
    for (int i = 0; i < texts; ++i) {
      const std::string n = std::to_string(i);
      s.replace(0, n.size(), n);
      std::fprintf(f, "3 4 %d %d %zu %s\n", i % 1800, i % 1000, s.size(), s.c_str());
    }
    std::fputs("12 0 \n", f);
  });
}

void BM_ClearedGroups(benchmark::State& state) {
  constexpr int kGroups = 20, kGroupTexts = 25000;
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
  // The first groups still fill the caches; from the second on the list,
  // the strings and the layouts reuse what they hold.
  state.counters["rss_growth_from_2nd_MiB"] = (rss.back() - rss[1]) / kMiB;
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kGroups * kGroupTexts);
}

}  // namespace

BENCHMARK(BM_FontEntryMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FontCyclingRatio)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_TextsOneFont)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TextsCyclingHeights)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TextsBlockedHeights)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RepaintOneFont)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RepaintCyclingHeights)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ClearedGroups)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv); }
