#include "base/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

std::size_t rounded(std::size_t bytes) {
  return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

}  // namespace

void* MapHugePages(std::size_t bytes) noexcept {
  if (bytes == 0 || bytes > SIZE_MAX / 2 - kHugePageBytes) return nullptr;
  const std::size_t size = rounded(bytes);
  // Map one huge page more than needed, then give back the parts before
  // the first boundary and after the end.
  void* area =
      mmap(nullptr, size + kHugePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return nullptr;
  const auto at = reinterpret_cast<std::uintptr_t>(area);
  const std::uintptr_t aligned = (at + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  if (aligned > at) munmap(area, aligned - at);
  const std::uintptr_t end = at + size + kHugePageBytes;
  if (aligned + size < end) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  void* memory = reinterpret_cast<void*>(aligned);
  madvise(memory, size, MADV_HUGEPAGE);
  return memory;
}

void UnmapHugePages(void* memory, std::size_t bytes) noexcept {
  if (memory) munmap(memory, rounded(bytes));
}
