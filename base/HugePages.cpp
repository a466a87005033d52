#include "base/HugePages.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstdint>

namespace {

std::size_t rounded(std::size_t bytes) {
  return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

// `size` bytes (a multiple of kHugePageBytes) on a huge-page boundary.
void* mapAligned(std::size_t size) noexcept {
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
  return reinterpret_cast<void*>(aligned);
}

bool sizeFits(std::size_t bytes) { return bytes != 0 && bytes <= SIZE_MAX / 2 - kHugePageBytes; }

}  // namespace

void* MapHugePages(std::size_t bytes) noexcept {
  if (!sizeFits(bytes)) return nullptr;
  const std::size_t size = rounded(bytes);
  void* memory = mapAligned(size);
  if (memory) madvise(memory, size, MADV_HUGEPAGE);
  return memory;
}

void* MapPresentPages(std::size_t bytes) noexcept {
  if (!sizeFits(bytes)) return nullptr;
  const std::size_t size = rounded(bytes);
  void* memory = mapAligned(size);
  if (!memory) return nullptr;
  // Where the system gives huge pages unasked, this range opts out.
  madvise(memory, size, MADV_NOHUGEPAGE);
  if (madvise(memory, size, MADV_POPULATE_WRITE) != 0) {
    if (errno != EINVAL) {  // EINVAL: a kernel without it; the first writes fault the pages in
      munmap(memory, size);
      return nullptr;
    }
  }
  return memory;
}

void UnmapHugePages(void* memory, std::size_t bytes) noexcept {
  if (memory) munmap(memory, rounded(bytes));
}
