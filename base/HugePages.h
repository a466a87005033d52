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
// At least `bytes` of zeroed memory starting on a huge-page boundary, in
// ordinary pages that are all present already: the kernel zeroes them in
// one call instead of one fault a page at first touch. Null when it cannot
// be mapped or made present (memory is short). For memory that is written
// soon after it is mapped: done on a worker thread, the zeroing stays off
// the thread that fills it.
//
// Huge pages are not asked for here: on a virtual machine that hands free
// huge pages back to its host, a fresh huge page costs the host's fault on
// top of the zeroing, several times the cost of the ordinary pages it
// replaces, while a walk from first to last gains little from the fewer
// TLB entries.
void* MapPresentPages(std::size_t bytes) noexcept;
// Unmaps memory from MapHugePages or MapPresentPages, given the same
// `bytes`.
void UnmapHugePages(void* memory, std::size_t bytes) noexcept;
