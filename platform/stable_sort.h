// A stable merge sort that stays safe whatever the comparison answers.
//
// The table's comparison is not a strict weak order: in a column of mixed kinds the kind of a comparison
// is decided by its first operand alone, so a < b, b < c and c < a can all hold. The standard library's
// sorts have undefined behaviour with such a comparison and may read outside the range. This sort only
// ever moves elements between index bounds it computes itself, so for any answers of the comparison it
// terminates after O(n log n) comparisons and leaves a permutation of its input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace stable_sort_detail {

// Runs this short are sorted by insertion before merging starts.
constexpr std::size_t kInsertionRun = 32;

template <class T, class Compare> void InsertionSortRun(T* a, std::size_t lo, std::size_t hi, Compare& cmp) {
    for (std::size_t i = lo + 1; i < hi; ++i) {
        const T x = a[i];
        std::size_t j = i;
        // x moves only in front of elements that compare strictly after it: equal elements keep order.
        while (j > lo && cmp(a[j - 1], x) > 0) {
            a[j] = a[j - 1];
            --j;
        }
        a[j] = x;
    }
}

template <class T, class Compare>
void MergeRuns(const T* src, T* dst, std::size_t lo, std::size_t mid, std::size_t hi, Compare& cmp) {
    std::size_t i = lo;
    std::size_t j = mid;
    std::size_t k = lo;
    while (i < mid && j < hi) {
        // The element of the right run goes first only when the left one compares strictly after it.
        if (cmp(src[i], src[j]) > 0)
            dst[k++] = src[j++];
        else
            dst[k++] = src[i++];
    }
    std::copy(src + i, src + mid, dst + k);
    k += mid - i;
    std::copy(src + j, src + hi, dst + k);
}

} // namespace stable_sort_detail

// Sorts items stably: cmp(a, b) returns a negative value when a goes before b, a positive value when it
// goes after, 0 when they are equivalent. The item that stood earlier is always passed as the first
// operand. Items that compare equal keep their order. The sequence of comparisons depends only on their
// answers, so items carrying precomputed keys are put in exactly the order that ids comparing the same
// keys through a lookup would get.
template <class T, class Compare> void StableSortItems(std::span<T> items, Compare cmp) {
    using namespace stable_sort_detail;
    const std::size_t n = items.size();
    if (n < 2)
        return;

    for (std::size_t lo = 0; lo < n; lo += kInsertionRun)
        InsertionSortRun(items.data(), lo, std::min(lo + kInsertionRun, n), cmp);
    if (n <= kInsertionRun)
        return;

    std::vector<T> buffer(n);
    T* src = items.data();
    T* dst = buffer.data();
    for (std::size_t width = kInsertionRun; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            // Runs already in order (common for presorted columns) are copied without merging.
            if (mid >= hi || cmp(src[mid - 1], src[mid]) <= 0)
                std::copy(src + lo, src + hi, dst + lo);
            else
                MergeRuns(src, dst, lo, mid, hi, cmp);
        }
        std::swap(src, dst);
    }
    if (src != items.data())
        std::copy(src, src + n, items.data());
}

// The same sort on row ids. With the table's comparison this is the reference order of a column sort:
// the program works the same order out from precomputed keys (SortRowIdsByColumn, SortedRowOrder), and
// the tests keep the two equal. Keep both.
template <class Compare> void StableSortRowIds(std::span<std::uint32_t> ids, Compare cmp) {
    StableSortItems(ids, std::move(cmp));
}
