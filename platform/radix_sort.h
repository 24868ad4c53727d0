// A stable sort of items by a 64-bit key, in linear time.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// Sorts items stably by their member `key` (std::uint64_t), ascending: a least significant digit radix
// sort, 11 bits a pass, skipping the high digits that all keys share.
template <class Item> void RadixSortByKey(std::vector<Item>& items) {
    if (items.size() < 2)
        return;
    std::uint64_t low = ~std::uint64_t{0};
    std::uint64_t high = 0;
    for (const Item& item : items) {
        low = std::min(low, item.key);
        high = std::max(high, item.key);
    }
    // Keys relative to the smallest need fewer digits.
    for (Item& item : items)
        item.key -= low;
    const std::uint64_t span = high - low;

    constexpr int kBits = 11;
    constexpr std::size_t kRadix = std::size_t{1} << kBits;
    std::vector<Item> buffer(items.size());
    std::vector<std::size_t> counts(kRadix);
    for (int shift = 0; shift < 64 && (span >> shift) != 0; shift += kBits) {
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
