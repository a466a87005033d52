// Writing zorva-render's 1920x1080 picture as PNG bytes in memory: the PNG
// writer (export/PngWriter.h) next to QImage::save, on three pictures drawn
// as zorva-render draws them: all black, a million short segments (the
// picture bench/compare-gnuplot.sh draws) and a page of coloured texts of
// several heights over a curve. The PNG writer runs on 1, 2 and 4 threads.
// The `bytes` counter is the PNG's size.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "bench/BenchSupport.h"
#include "export/PngWriter.h"
#include "framework/surface/RasterSurface.h"
#include "tools/RenderFile.h"

namespace {

constexpr int W = 1920, H = 1080;

enum Picture { kBlack, kSegments, kTexts };

std::string commands(Picture picture) {
  std::string s = "0 0 ";
  char item[160];
  if (picture == kSegments) {
    // Segments like compare-gnuplot.sh's: inside the picture, at most 20
    // pixels each way.
    std::mt19937 rng(1);
    for (int i = 0; i < 1000000; ++i) {
      const int x = static_cast<int>(rng() % 1880) + 20, y = static_cast<int>(rng() % 1040) + 21;
      const int dx = static_cast<int>(rng() % 41) - 20, dy = static_cast<int>(rng() % 41) - 20;
      std::snprintf(item, sizeof item, "2 4 %d %d %d %d ", x, y, x + dx, y + dy);
      s += item;
    }
  } else if (picture == kTexts) {
    for (int i = 0; i < 60; ++i) {
      const std::string text = "Line " + std::to_string(i) + ": the quick brown fox jumps over the lazy dog";
      std::snprintf(item, sizeof item, "5 3 %d %d %d 8 1 %d 3 4 %d %d %zu ", (i * 37) % 256,
                    255 - (i * 53) % 256, 128 + (i * 11) % 128, 12 + (i % 4) * 2, 20 + (i % 3) * 600,
                    1060 - i * 17, text.size());
      s += item + text + " ";
    }
    s += "4 3 0 255 0 6 1 3 ";
    for (int k = 0; k < 450; ++k) {
      std::snprintf(item, sizeof item, "2 4 %d %d %d %d ", 50 + k * 4,
                    static_cast<int>(450 + 300 * std::sin(k / 30.0)), 54 + k * 4,
                    static_cast<int>(450 + 300 * std::sin((k + 1) / 30.0)));
      s += item;
    }
  }
  return s;
}

// Drawn once per picture, as zorva-render draws it.
const QImage& image(Picture picture) {
  static QImage images[3];
  QImage& image = images[picture];
  if (image.isNull()) {
    const std::string path = "/tmp/zorva-bench-png-" + std::to_string(picture) + ".zv";
    FILE* f = std::fopen(path.c_str(), "wb");
    const std::string bytes = commands(picture);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    image = QImage(W, H, QImage::Format_RGB32);
    image.fill(Qt::black);
    RasterSurface surface(&image);
    RenderFile(path.c_str(), surface, W, H);
    surface.End();
    std::remove(path.c_str());
  }
  return image;
}

void BM_QImageSave(benchmark::State& state) {
  const QImage& picture = image(static_cast<Picture>(state.range(0)));
  qsizetype size = 0;
  for (auto _ : state) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) state.SkipWithError("save failed");
    size = bytes.size();
  }
  state.counters["bytes"] = static_cast<double>(size);
}

// The PNG writer on range(1) threads.
void BM_PngWriter(benchmark::State& state) {
  const QImage& picture = image(static_cast<Picture>(state.range(0)));
  const int threads = static_cast<int>(state.range(1));
  std::string bytes;
  for (auto _ : state) {
    bytes.clear();
    const bool ok = EncodePng(
        picture,
        [&](const unsigned char* p, std::size_t n) {
          bytes.append(reinterpret_cast<const char*>(p), n);
          return true;
        },
        threads);
    if (!ok) state.SkipWithError("encoding failed");
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

void pictures(benchmark::internal::Benchmark* b) {
  b->ArgName("picture")->Arg(kBlack)->Arg(kSegments)->Arg(kTexts)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_QImageSave)->Apply(pictures);
BENCHMARK(BM_PngWriter)
    ->ArgNames({"picture", "threads"})
    ->ArgsProduct({{kBlack, kSegments, kTexts}, {1, 2, 4}})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv); }
