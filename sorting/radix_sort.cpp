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
