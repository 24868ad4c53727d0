// A stable sort of items by a 64-bit key, in linear time.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "base/huge_pages.h"

// An allocator for sort buffers of millions of items. New elements of trivial types are left
// uninitialised: the buffers are written before they are read, and zeroing them first costs a pass over
// memory. Large buffers are mapped on their own, in huge pages where the system offers them (a radix
// pass scatters items to two thousand places at once, which small pages turn into a page-table walk
// for nearly every item), and go back to the system as soon as they are freed.
namespace radix_sort_detail {
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* p, std::size_t bytes);
constexpr std::size_t kLargeBytes = std::size_t{4} << 20;
} // namespace radix_sort_detail

template <class T> struct CUninitAllocator {
    using value_type = T;
    template <class U> struct rebind { using other = CUninitAllocator<U>; };
    CUninitAllocator() = default;
    template <class U> CUninitAllocator(const CUninitAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= radix_sort_detail::kLargeBytes)
            return static_cast<T*>(radix_sort_detail::AllocateLarge(bytes));
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= radix_sort_detail::kLargeBytes)
            radix_sort_detail::FreeLarge(p, bytes);
        else
            std::allocator<T>().deallocate(p, n);
    }
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(p)) U;
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U> bool operator==(const CUninitAllocator<U>&) const noexcept { return true; }
};
template <class T> using UninitVector = std::vector<T, CUninitAllocator<T>>;

// Sorts items stably by their member `key` (std::uint64_t), ascending: a least significant digit radix
// sort, 11 bits a pass, skipping the digits that all keys share. The bits of the key below nFirstBit are
// not sorted on: they may carry a payload, and items equal above them keep their order.
template <class Vector> void RadixSortByKey(Vector& items, int nFirstBit = 0) {
    if (items.size() < 2)
        return;
    using Item = typename Vector::value_type;
    std::uint64_t low = ~std::uint64_t{0};
    std::uint64_t high = 0;
    for (const Item& item : items) {
        low = std::min(low, item.key >> nFirstBit);
        high = std::max(high, item.key >> nFirstBit);
    }
    if (low == high)
        return;
    // Keys relative to the smallest need fewer digits. Bits that no key sets need no pass either: the
    // passes start at the lowest bit that some key sets (keys left-aligned, such as a text's characters,
    // end in zeros), and a digit that every key has the same is skipped.
    const std::uint64_t lowBits = low << nFirstBit;
    std::uint64_t varying = 0;
    for (Item& item : items) {
        item.key -= lowBits;
        varying |= item.key >> nFirstBit;
    }
    const std::uint64_t span = high - low;

    constexpr int kBits = 11;
    constexpr std::size_t kRadix = std::size_t{1} << kBits;
    Vector buffer(items.size());
    std::vector<std::size_t> counts(kRadix);
    for (int shift = std::countr_zero(varying); shift < 64 - nFirstBit && (span >> shift) != 0;
         shift += kBits) {
        if (((varying >> shift) & (kRadix - 1)) == 0)
            continue;
        const int at = shift + nFirstBit;
        std::fill(counts.begin(), counts.end(), 0);
        for (const Item& item : items)
            ++counts[(item.key >> at) & (kRadix - 1)];
        std::size_t total = 0;
        for (std::size_t& count : counts)
            total += std::exchange(count, total);
        for (const Item& item : items)
            buffer[counts[(item.key >> at) & (kRadix - 1)]++] = item;
        items.swap(buffer);
    }
    for (Item& item : items)
        item.key += lowBits;
}
