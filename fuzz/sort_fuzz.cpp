// The sort of a column: the prepared keys compare two entries exactly as the comparison of their texts
// does, and sorting by the keys gives the order a stable sort with that comparison gives, a permutation of
// the rows.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <QLocale>

#include "fuzz_input.h"
#include "sorting/row_compare.h"
#include "sorting/sort_key_column.h"
#include "sorting/stable_sort.h"

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Texts the comparison tells apart: numbers, dates and words, mixed with the input's own bytes.
std::string MakeText(CFuzzInput& in) {
    // Numbers on both sides of 2^31 and at the top of the unsigned 32-bit range, as listing fields show.
    static const char* const kPieces[] = {
        "",           "0",          "7",          "12",         "007",        "-3",         "2147483647",
        "2147483648", "2147483649", "2600468480", "4294967294", "4294967295", "31/12/1999", "01/01/2000",
        "31/12/9999", "1/2/3",      "a",          "B",          "co-op",      "coop",       "e\xcc\x81",
        "\xc3\xa9",   "\xff",       " ",          "Z9",         "day's"};
    std::string text;
    for (int parts = in.Byte() % 3; parts >= 0; --parts) {
        const std::uint8_t choice = in.Byte();
        if (choice < 200)
            text += kPieces[choice % (sizeof kPieces / sizeof kPieces[0])];
        else
            text += in.Text(6);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CTextCollator collator{QLocale(QLocale::English)};
    CFuzzInput in(data, size);
    const bool ascending = in.Byte() & 1;
    std::vector<std::string> texts;
    while (!in.Empty() && texts.size() < 48)
        texts.push_back(MakeText(in));
    const auto count = static_cast<std::uint32_t>(texts.size());
    const RowTextAccessor textOf = [&texts](std::uint32_t id) { return std::string_view(texts[id]); };

    const CSortKeyColumn keys(count, textOf, collator);
    for (std::uint32_t i = 0; i < count; ++i) {
        for (std::uint32_t j = 0; j < count; ++j) {
            if (Sign(keys.Compare(i, j, ascending)) !=
                Sign(CompareCells(texts[i], texts[j], ascending, collator)))
                std::abort();
        }
    }

    std::vector<std::uint32_t> expected(count);
    for (std::uint32_t i = 0; i < count; ++i)
        expected[i] = i;
    std::vector<std::uint32_t> sorted = expected;
    StableSortRowIds(std::span<std::uint32_t>(expected), [&](std::uint32_t a, std::uint32_t b) {
        return CompareCells(texts[a], texts[b], ascending, collator);
    });
    SortRowIdsByColumn(sorted, textOf, ascending, collator);
    if (sorted != expected)
        std::abort();
    std::vector<std::uint32_t> permutation = sorted;
    std::sort(permutation.begin(), permutation.end());
    for (std::uint32_t i = 0; i < count; ++i) {
        if (permutation[i] != i)
            std::abort();
    }
    return 0;
}
