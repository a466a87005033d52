#pragma once
// A command file of line items (`2 4 x1 y1 x2 y2 `, values 0 to 2000) in
// the temporary folder, written once per process.

#include <cstdio>
#include <random>
#include <string>

inline std::string lineFile(long items) {
  const std::string path = "/tmp/zorva-bench-lines-" + std::to_string(items) + ".zv";
  if (FILE* probe = std::fopen(path.c_str(), "rb")) {
    std::fclose(probe);
    return path;
  }
  const std::string part = path + ".part";
  FILE* f = std::fopen(part.c_str(), "wb");
  std::mt19937 rng(1);
  auto next = [&rng] { return static_cast<unsigned>(rng() % 2001); };
  for (long i = 0; i < items; ++i) std::fprintf(f, "2 4 %u %u %u %u \n", next(), next(), next(), next());
  std::fclose(f);
  std::rename(part.c_str(), path.c_str());
  return path;
}
