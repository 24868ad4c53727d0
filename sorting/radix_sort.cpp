#include "sorting/radix_sort.h"

#include <cstdint>
#include <new>

#include <sys/mman.h>

namespace radix_sort_detail {

void* AllocateLarge(std::size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    madvise(p, bytes, MADV_HUGEPAGE); // advice only: small pages work too
#endif
    return p;
}

void FreeLarge(void* p, std::size_t bytes) {
    munmap(p, bytes);
}

} // namespace radix_sort_detail

void AdviseHugePages(const void* begin, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto start = (reinterpret_cast<std::uintptr_t>(begin) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(begin) + bytes) & ~(kHugePage - 1);
    if (start < end)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)begin;
    (void)bytes;
#endif
}
