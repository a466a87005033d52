#pragma once
// Memory for large arrays that are written all over: mapped on a huge-page
// boundary and advised to the kernel as huge-page memory, so that one TLB
// entry covers 2 MiB of it instead of 4 KiB. Only advice: where the kernel
// has no huge pages to give, the memory is ordinary pages. It is mapped
// directly, so it goes back to the system as soon as it is unmapped.

#include <cstddef>

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// At least `bytes` of zeroed memory starting on a huge-page boundary; null
// when it cannot be mapped.
void* MapHugePages(std::size_t bytes) noexcept;
// Unmaps memory from MapHugePages, given the same `bytes`.
void UnmapHugePages(void* memory, std::size_t bytes) noexcept;
