// Following a command file of 10M line items through the real polling step
// into the display list, next to a plain scanner reading the same file the
// same way (1023-byte reads, carrying the unfinished tail), and the same
// step cut into the 20 ms slices a window uses.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "bench/LineFile.h"
#include "bench/NullSurface.h"
#include "stream/CommandStream.h"
#include "stream/DisplayState.h"
#include "stream/HeadlessHost.h"
#include "framework/gdi/TClientDC.h"

namespace {

constexpr long kItems = 10'000'000;

long fileSize(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return static_cast<long>(st.st_size);
}

void BM_PollingStep(benchmark::State& state) {
  const std::string path = lineFile(kItems);
  long items = 0;
  DisplayState display;
  for (auto _ : state) {
    display.displayList.Flush();
    followFile(path, display);
    items += display.displayList.Count();
  }
  state.SetItemsProcessed(items);
  state.SetBytesProcessed(static_cast<long>(state.iterations()) * fileSize(path));
}

// A host with an event loop: the step pauses every 20 ms and goes on at once.
struct SlicingHost : HeadlessHost {
  SlicingHost() : HeadlessHost(1920, 1080) {}
  bool SlicesSteps() const override { return true; }
  void PostStepContinuation() override { ++pauses; }
  long pauses = 0;
};

// The same step as BM_PollingStep, cut into time slices.
void BM_SlicedPollingStep(benchmark::State& state) {
  const std::string path = lineFile(kItems);
  long items = 0, pauses = 0;
  DisplayState display;
  for (auto _ : state) {
    display.displayList.Flush();
    const int fd = ::open(path.c_str(), O_RDONLY);
    NullSurface surface;
    TClientDC dc(surface);
    SlicingHost host;
    CommandStream stream(host, display, fd, &dc);
    stream.EvTimer(1);
    while (stream.StepRunning()) stream.ContinueStep();
    ::close(fd);
    items += display.displayList.Count();
    pauses += host.pauses;
  }
  state.SetItemsProcessed(items);
  state.SetBytesProcessed(static_cast<long>(state.iterations()) * fileSize(path));
  state.counters["slices"] = static_cast<double>(pauses) / static_cast<double>(state.iterations()) + 1;
}

void BM_PlainScanner(benchmark::State& state) {
  const std::string path = lineFile(kItems);
  long items = 0;
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    char buf[1024];
    int begin = 0;
    long sum = 0;
    for (ssize_t got; (got = ::read(fd, buf + begin, 1023 - static_cast<size_t>(begin))) > 0;) {
      const int size = begin + static_cast<int>(got);
      buf[size] = '\0';
      const char* p = buf;
      const char* itemStart = p;
      for (;;) {
        // An item is six numbers, each followed by a space.
        itemStart = p;
        int k = 0, values[6];
        for (; k < 6; ++k) {
          while (*p == ' ' || *p == '\n') ++p;
          const char* q = p;
          int v = 0;
          while (*q >= '0' && *q <= '9') v = v * 10 + (*q++ - '0');
          if (*q != ' ') break;  // the number has not fully arrived
          values[k] = v;
          p = q;
        }
        if (k < 6) break;
        sum += values[2];
        ++items;
      }
      begin = size - static_cast<int>(itemStart - buf);
      std::memmove(buf, itemStart, static_cast<size_t>(begin));
    }
    ::close(fd);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(items);
  state.SetBytesProcessed(static_cast<long>(state.iterations()) * fileSize(path));
}

}  // namespace

BENCHMARK(BM_PollingStep)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SlicedPollingStep)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainScanner)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
