// Parsing line items from memory with zvItem::Set, next to a plain
// hand-written integer scanner over the same bytes.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "items/zvItem.h"

namespace {

constexpr int kItems = 200000;

const std::string& lineText() {
  static const std::string text = [] {
    std::mt19937 rng(1);
    std::string t;
    for (int i = 0; i < kItems; ++i) {
      t += "2 4 ";
      for (int k = 0; k < 4; ++k) t += std::to_string(rng() % 2001) + ' ';
      t += '\n';
    }
    return t;
  }();
  return text;
}

void report(benchmark::State& state, long items) {
  state.SetItemsProcessed(items);
  state.SetBytesProcessed(static_cast<long>(state.iterations()) * static_cast<long>(lineText().size()));
}

void BM_Set(benchmark::State& state) {
  const std::string& text = lineText();
  long items = 0;
  for (auto _ : state) {
    zvItem work;
    const char* p = text.c_str();
    for (int used; (used = work.Set(p)) > 0; p += used) ++items;
    benchmark::DoNotOptimize(work);
  }
  report(state, items);
}

// The baseline: skip blanks, read a signed decimal, six numbers an item.
void BM_PlainScanner(benchmark::State& state) {
  const std::string& text = lineText();
  long items = 0;
  for (auto _ : state) {
    const char* p = text.c_str();
    int values[6];
    long sum = 0;
    for (;;) {
      int k = 0;
      for (; k < 6; ++k) {
        while (*p == ' ' || *p == '\n') ++p;
        if (!*p) break;
        bool neg = *p == '-';
        if (neg || *p == '+') ++p;
        int v = 0;
        while (*p >= '0' && *p <= '9') v = v * 10 + (*p++ - '0');
        values[k] = neg ? -v : v;
      }
      if (k < 6) break;
      sum += values[2];
      ++items;
    }
    benchmark::DoNotOptimize(sum);
  }
  report(state, items);
}

}  // namespace

BENCHMARK(BM_Set)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainScanner)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
