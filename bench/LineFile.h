#pragma once
// Command files for the benchmarks, in the temporary folder, each written
// once per name: later runs find it there.

#include <cstdio>
#include <random>
#include <string>

// The file at `path`, written by write(FILE*) unless it is there already
// (written to a part file first, so an interrupted run leaves none).
template <typename Write>
std::string benchFile(const std::string& path, Write write) {
  if (FILE* probe = std::fopen(path.c_str(), "rb")) {
    std::fclose(probe);
    return path;
  }
  const std::string part = path + ".part";
  FILE* f = std::fopen(part.c_str(), "wb");
  write(f);
  std::fclose(f);
  std::rename(part.c_str(), path.c_str());
  return path;
}

// Line items (`2 4 x1 y1 x2 y2 `, values 0 to 2000).
inline std::string lineFile(long items) {
  return benchFile("/tmp/zorva-bench-lines-" + std::to_string(items) + ".zv", [items](FILE* f) {
    std::mt19937 rng(1);
    auto next = [&rng] { return static_cast<unsigned>(rng() % 2001); };
    for (long i = 0; i < items; ++i) std::fprintf(f, "2 4 %u %u %u %u \n", next(), next(), next(), next());
  });
}
