#include "sorting/stable_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace {

std::vector<std::uint32_t> Iota(std::size_t n) {
    std::vector<std::uint32_t> ids(n);
    std::iota(ids.begin(), ids.end(), 0u);
    return ids;
}

bool IsPermutationOfIota(std::vector<std::uint32_t> ids) {
    std::sort(ids.begin(), ids.end());
    return ids == Iota(ids.size());
}

class StableSortSizes : public ::testing::TestWithParam<std::size_t> {};

// With a consistent comparison and many equal keys the result is exactly the standard stable sort's.
TEST_P(StableSortSizes, MatchesStandardStableSortOnDuplicateKeys) {
    const std::size_t n = GetParam();
    std::mt19937 rng(static_cast<std::uint32_t>(n));
    std::vector<int> keys(n);
    for (int& k : keys)
        k = std::uniform_int_distribution<int>(0, 9)(rng);

    std::vector<std::uint32_t> expected = Iota(n);
    std::stable_sort(expected.begin(), expected.end(), [&](auto a, auto b) { return keys[a] < keys[b]; });
    std::vector<std::uint32_t> ids = Iota(n);
    StableSortRowIds(ids, [&](auto a, auto b) { return keys[a] - keys[b]; });
    EXPECT_EQ(ids, expected);

    // Descending by swapping operands stays stable as well.
    std::stable_sort(expected.begin(), expected.end(), [&](auto a, auto b) { return keys[a] > keys[b]; });
    std::vector<std::uint32_t> desc = Iota(n);
    StableSortRowIds(desc, [&](auto a, auto b) { return keys[b] - keys[a]; });
    EXPECT_EQ(desc, expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, StableSortSizes,
                         ::testing::Values(0, 1, 2, 3, 31, 32, 33, 63, 64, 65, 100, 1000, 4097, 10007));

TEST(StableSort, KeepsOrderOfPresortedAndReversedInput) {
    std::vector<std::uint32_t> ids = Iota(5000);
    StableSortRowIds(ids, [](auto a, auto b) { return (a > b) - (a < b); });
    EXPECT_EQ(ids, Iota(5000));

    std::vector<std::uint32_t> reversed(ids.rbegin(), ids.rend());
    StableSortRowIds(reversed, [](auto a, auto b) { return (a > b) - (a < b); });
    EXPECT_EQ(reversed, Iota(5000));
}

// Comparisons that are no order at all: the sort must only ever pass ids of the range, finish within
// n log n comparisons (times a small factor) and leave every id exactly once.
struct InconsistentCase {
    const char* name;
    int (*make)(std::uint32_t a, std::uint32_t b, std::mt19937& rng);
};

const InconsistentCase kInconsistent[] = {
    {"random", [](std::uint32_t, std::uint32_t,
                  std::mt19937& rng) { return std::uniform_int_distribution<int>(-1, 1)(rng); }},
    {"always after", [](std::uint32_t, std::uint32_t, std::mt19937&) { return 1; }},
    {"always before", [](std::uint32_t, std::uint32_t, std::mt19937&) { return -1; }},
    {"rock paper scissors",
     [](std::uint32_t a, std::uint32_t b, std::mt19937&) {
         const int d = static_cast<int>((a % 3 + 3 - b % 3) % 3);
         return d == 0 ? 0 : (d == 1 ? 1 : -1);
     }},
    {"first operand decides",
     [](std::uint32_t a, std::uint32_t b, std::mt19937&) { return a % 2 ? 1 : static_cast<int>(b % 3) - 1; }},
};

TEST(StableSort, StaysInRangeAndTerminatesForInconsistentComparisons) {
    for (const InconsistentCase& c : kInconsistent) {
        for (std::size_t n : {2u, 33u, 1000u, 50000u}) {
            SCOPED_TRACE(std::string(c.name) + " n=" + std::to_string(n));
            std::mt19937 rng(7);
            std::vector<std::uint32_t> ids = Iota(n);
            std::shuffle(ids.begin(), ids.end(), rng);
            std::size_t nCalls = 0;
            bool bOutOfRange = false;
            StableSortRowIds(ids, [&](std::uint32_t a, std::uint32_t b) {
                ++nCalls;
                bOutOfRange |= a >= n || b >= n;
                return c.make(a, b, rng);
            });
            EXPECT_FALSE(bOutOfRange);
            EXPECT_TRUE(IsPermutationOfIota(ids));
            // Insertion runs of 32 cost at most 32*31/2 comparisons per 32 ids; merging at most n per pass.
            const double bound = 16.0 * static_cast<double>(n) + static_cast<double>(n) * std::log2(n) + 2;
            EXPECT_LE(static_cast<double>(nCalls), bound);
        }
    }
}

TEST(StableSort, PassesTheEarlierElementFirst) {
    // A comparison that is honest only when called with (earlier, later): positions are the ids here,
    // so a stable sort under "everything equal" must never see a later id first in the first runs.
    std::vector<std::uint32_t> ids = Iota(300);
    bool bReversedCall = false;
    StableSortRowIds(ids, [&](std::uint32_t a, std::uint32_t b) {
        bReversedCall |= a > b;
        return 0;
    });
    EXPECT_FALSE(bReversedCall);
    EXPECT_EQ(ids, Iota(300));
}

} // namespace
