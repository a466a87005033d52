// Memory of the display list holding 10M items read through the polling
// step, from the process's own figures: the heap in use (mallinfo2; the
// list's full-size slabs are mapped directly and do not show in it) and the
// resident size (/proc/self/statm), each per item at steady state, and the
// peak resident size over the steady one (the list never copies itself
// while it grows). Two files: plain line items, and the same lines with a
// text item every 64 items, which the lines after it carry (one working
// item serves a pass) and share.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/LineFile.h"
#include "bench/NullSurface.h"
#include "stream/DisplayState.h"

namespace {

constexpr long kItems = 10'000'000;

long residentBytes() { return ResidentBytes(); }

// The peak resident size since the last resetPeak, from /proc/self/status.
long peakBytes() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return 1024 * std::stol(line.substr(6));
  return -1;
}

// Starts the peak over from the present resident size.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

long heapInUse() { return static_cast<long>(mallinfo2().uordblks + mallinfo2().hblkhd); }

void measure(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    malloc_trim(0);
    resetPeak();
    const long rssBefore = residentBytes(), heapBefore = heapInUse();
    {
      DisplayState display;
      followFile(path, display);
      const double n = display.displayList.Count();
      const long steady = residentBytes() - rssBefore;
      state.counters["items"] = n;
      state.counters["heap_per_item"] = static_cast<double>(heapInUse() - heapBefore) / n;
      state.counters["rss_per_item"] = static_cast<double>(steady) / n;
      state.counters["peak_over_steady"] =
          static_cast<double>(peakBytes() - rssBefore) / static_cast<double>(steady);
    }
  }
}

void BM_ListMemoryLines(benchmark::State& state) { measure(state, lineFile(kItems)); }

void BM_ListMemoryLinesAfterTexts(benchmark::State& state) {
  const std::string path = "/tmp/zorva-bench-lines-texts-" + std::to_string(kItems) + ".zv";
  if (FILE* probe = std::fopen(path.c_str(), "rb")) {
    std::fclose(probe);
  } else {
    const std::string part = path + ".part";
    FILE* f = std::fopen(part.c_str(), "wb");
    for (long i = 0; i < kItems; ++i) {
      if (i % 64 == 0)
        std::fprintf(f, "3 4 10 20 40 a label of forty bytes, item %011ld \n", i);
      else
        std::fprintf(f, "2 4 %ld %ld %ld %ld \n", i % 2001, (i / 7) % 2001, (i / 3) % 2001, (i / 5) % 2001);
    }
    std::fclose(f);
    std::rename(part.c_str(), path.c_str());
  }
  measure(state, path);
}

}  // namespace

BENCHMARK(BM_ListMemoryLines)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ListMemoryLinesAfterTexts)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
