// Memory of the display list holding 10M line items read through the
// polling step: bytes an item at steady state, and the peak over the steady
// size (the list never copies itself while it grows).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "bench/LineFile.h"
#include "bench/NullSurface.h"
#include "display/CommandStream.h"
#include "display/DisplayState.h"
#include "framework/TClientDC.h"

namespace {

// A field of /proc/self/status in kB.
long statusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  return -1;
}

void BM_ListMemory10M(benchmark::State& state) {
  const std::string path = lineFile(10'000'000);
  for (auto _ : state) {
    DisplayState display;
    const long before = statusKb("VmRSS:");
    followFile(path, display);
    const long steady = statusKb("VmRSS:") - before;
    const long peak = statusKb("VmHWM:") - before;
    state.counters["items"] = display.displayList.Count();
    state.counters["bytes_per_item"] = 1024.0 * static_cast<double>(steady) / display.displayList.Count();
    state.counters["peak_over_steady"] = static_cast<double>(peak) / static_cast<double>(steady);
  }
}

}  // namespace

BENCHMARK(BM_ListMemory10M)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
