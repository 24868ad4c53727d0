// A stable sort of items by a 64-bit key, in linear time.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// Sorts items stably by their member `key` (std::uint64_t), ascending: a least significant digit radix
// sort, 11 bits a pass, skipping the digits that all keys share.
template <class Item> void RadixSortByKey(std::vector<Item>& items) {
    if (items.size() < 2)
        return;
    std::uint64_t low = ~std::uint64_t{0};
    std::uint64_t high = 0;
    for (const Item& item : items) {
        low = std::min(low, item.key);
        high = std::max(high, item.key);
    }
    if (low == high)
        return;
    // Keys relative to the smallest need fewer digits. Bits that no key sets need no pass either: the
    // passes start at the lowest bit that some key sets (keys left-aligned, such as a text's characters,
    // end in zeros), and a digit that every key has the same is skipped.
    std::uint64_t varying = 0;
    for (Item& item : items) {
        item.key -= low;
        varying |= item.key;
    }
    const std::uint64_t span = high - low;

    constexpr int kBits = 11;
    constexpr std::size_t kRadix = std::size_t{1} << kBits;
    std::vector<Item> buffer(items.size());
    std::vector<std::size_t> counts(kRadix);
    for (int shift = std::countr_zero(varying); shift < 64 && (span >> shift) != 0; shift += kBits) {
        if (((varying >> shift) & (kRadix - 1)) == 0)
            continue;
        std::fill(counts.begin(), counts.end(), 0);
        for (const Item& item : items)
            ++counts[(item.key >> shift) & (kRadix - 1)];
        std::size_t total = 0;
        for (std::size_t& count : counts)
            total += std::exchange(count, total);
        for (const Item& item : items)
            buffer[counts[(item.key >> shift) & (kRadix - 1)]++] = item;
        items.swap(buffer);
    }
    for (Item& item : items)
        item.key += low;
}
