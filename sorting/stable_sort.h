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

#include "base/parallel_parts.h"

namespace stable_sort_detail {

// Runs this short are sorted by insertion before merging starts.
constexpr std::size_t kInsertionRun = 32;
// Fewer items are not worth a second thread.
constexpr std::size_t kTwoThreadItems = 100000;

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
        // Chosen without a branch: on shuffled keys that branch goes either way at random, and its
        // mispredictions cost more than the comparison.
        const bool bRight = cmp(src[i], src[j]) > 0;
        const T* pFrom = bRight ? src + j : src + i;
        dst[k++] = *pFrom;
        j += bRight;
        i += !bRight;
    }
    std::copy(src + i, src + mid, dst + k);
    k += mid - i;
    std::copy(src + j, src + hi, dst + k);
}

// The merge passes of widths kInsertionRun up to (not including) `limit` over items[lo, hi) — runs
// sorted by insertion first — with buffer[lo, hi) as the other half of the ping-pong. Returns true when
// the result is in buffer.
template <class T, class Compare>
bool SortBlocks(T* items, T* buffer, std::size_t lo, std::size_t hi, std::size_t limit, Compare& cmp) {
    for (std::size_t first = lo; first < hi; first += kInsertionRun)
        InsertionSortRun(items, first, std::min(first + kInsertionRun, hi), cmp);
    T* src = items;
    T* dst = buffer;
    bool bInBuffer = false;
    for (std::size_t width = kInsertionRun; width < limit; width *= 2) {
        for (std::size_t first = lo; first < hi; first += 2 * width) {
            const std::size_t mid = std::min(first + width, hi);
            const std::size_t last = std::min(first + 2 * width, hi);
            // Runs already in order (common for presorted columns) are copied without merging.
            if (mid >= last || cmp(src[mid - 1], src[mid]) <= 0)
                std::copy(src + first, src + last, dst + first);
            else
                MergeRuns(src, dst, first, mid, last, cmp);
        }
        std::swap(src, dst);
        bInBuffer = !bInBuffer;
    }
    return bInBuffer;
}

} // namespace stable_sort_detail

// Sorts items stably: cmp(a, b) returns a negative value when a goes before b, a positive value when it
// goes after, 0 when they are equivalent. The item that stood earlier is always passed as the first
// operand. Items that compare equal keep their order. The sequence of comparisons depends only on their
// answers, so items carrying precomputed keys are put in exactly the order that ids comparing the same
// keys through a lookup would get.
//
// With bTwoThreads, and when there are enough items, the two halves of the last merge are sorted on two
// threads: the blocks every pass but the last merges lie wholly in one half, so the comparisons and the
// result are exactly those of one thread. cmp must then be safe to call from two threads at once.
template <class T, class Compare>
void StableSortItems(std::span<T> items, Compare cmp, bool bTwoThreads = false) {
    using namespace stable_sort_detail;
    const std::size_t n = items.size();
    if (n < 2)
        return;
    if (n <= kInsertionRun) {
        InsertionSortRun(items.data(), 0, n, cmp);
        return;
    }
    // The width of the last pass: the largest kInsertionRun * 2^k below n.
    std::size_t last = kInsertionRun;
    while (2 * last < n)
        last *= 2;
    std::vector<T> buffer(n);
    bool bInBuffer = false;
    if (bTwoThreads && n >= kTwoThreadItems) {
        Compare other = cmp;
        bool bFirstInBuffer = false;
        RunParts(2, [&](unsigned part) {
            if (part == 0)
                bFirstInBuffer = SortBlocks(items.data(), buffer.data(), 0, last, last, cmp);
            else
                SortBlocks(items.data(), buffer.data(), last, n, last, other);
        });
        bInBuffer = bFirstInBuffer;
    } else {
        bInBuffer = SortBlocks(items.data(), buffer.data(), 0, n, last, cmp);
    }
    // Both halves went through the same passes, so their results lie on the same side.
    T* src = bInBuffer ? buffer.data() : items.data();
    T* dst = bInBuffer ? items.data() : buffer.data();
    if (cmp(src[last - 1], src[last]) <= 0)
        std::copy(src, src + n, dst);
    else
        MergeRuns(src, dst, 0, last, n, cmp);
    if (dst != items.data())
        std::copy(dst, dst + n, items.data());
}

// The same sort on row ids. With the table's comparison this is the reference order of a column sort:
// the program works the same order out from precomputed keys (SortRowIdsByColumn, SortedRowOrder), and
// the tests keep the two equal. Keep both.
template <class Compare> void StableSortRowIds(std::span<std::uint32_t> ids, Compare cmp) {
    StableSortItems(ids, std::move(cmp));
}
