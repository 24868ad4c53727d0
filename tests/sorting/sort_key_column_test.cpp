#include "sorting/row_compare.h"
#include "sorting/sort_key_column.h"
#include "sorting/stable_sort.h"

#include "sorting/mixed_cell_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

const CTextCollator& English() {
    static const CTextCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    return collator;
}

RowTextAccessor AccessorOf(const std::vector<std::string>& texts) {
    return [&texts](std::uint32_t i) { return std::string_view(texts[i]); };
}

std::vector<std::uint32_t> Iota(std::size_t n) {
    std::vector<std::uint32_t> ids(n);
    std::iota(ids.begin(), ids.end(), 0u);
    return ids;
}

// The order the table gets: SortRowIdsByColumn applied to rows 0..n-1, returned as texts.
std::vector<std::string> Sorted(const std::vector<std::string>& texts, bool bAscending) {
    std::vector<std::uint32_t> ids = Iota(texts.size());
    SortRowIdsByColumn(ids, AccessorOf(texts), bAscending, English());
    std::vector<std::string> out;
    for (std::uint32_t id : ids)
        out.push_back(texts[id]);
    return out;
}

// Every way of preparing texts: ranks when many entries are text, keys on demand when few are, and for
// texts of digits and hyphens (negative numbers) comparisons and ranks without collation.
TEST(SortKeyColumn, AgreesWithCompareCellsForEveryPair) {
    ASSERT_TRUE(English().ComparesDigitsAndHyphensByBytes());
    for (TextMix mix : {TextMix::AllKinds, TextMix::MostlyNumbers, TextMix::WordsOnly, TextMix::SignedNumbers,
                        TextMix::FewNegatives, TextMix::NegativesOnly, TextMix::SizesAndMinusOne,
                        TextMix::SizesMinusOneAndZero, TextMix::Unsigned32}) {
        SCOPED_TRACE("mix " + std::to_string(static_cast<int>(mix)));
        const std::vector<std::string> texts = MakeMixedCellTexts(300, 5, mix);
        const CSortKeyColumn column(static_cast<std::uint32_t>(texts.size()), AccessorOf(texts), English());
        ASSERT_EQ(column.GetCount(), texts.size());
        int nMismatches = 0;
        for (std::uint32_t i = 0; i < texts.size(); ++i) {
            for (std::uint32_t j = 0; j < texts.size(); ++j) {
                for (bool bAscending : {true, false}) {
                    const int expected = CompareCells(texts[i], texts[j], bAscending, English());
                    if (column.Compare(i, j, bAscending) != expected && ++nMismatches < 10)
                        ADD_FAILURE() << "[" << texts[i] << "] vs [" << texts[j] << "] asc=" << bAscending;
                }
            }
        }
        EXPECT_EQ(nMismatches, 0);
    }
}

TEST(SortKeyColumn, AgreesWithCompareCellsOnDateFieldsAtTheirLimits) {
    // Dates and date-like texts whose fields reach the extremes atoi can give for 2 and 4 bytes.
    std::vector<std::string> texts;
    for (const char* day : {"-9", "00", "99", " 5"})
        for (const char* month : {"-9", "00", "99", "+1"})
            for (const char* year : {"-999", "0000", "2003", "2004", "9999", "  12"})
                texts.push_back(std::string(day) + "/" + month + "/" + year);
    texts.push_back("");
    texts.push_back("1/2/3");
    const CSortKeyColumn column(static_cast<std::uint32_t>(texts.size()), AccessorOf(texts), English());
    for (std::uint32_t i = 0; i < texts.size(); ++i)
        for (std::uint32_t j = 0; j < texts.size(); ++j)
            ASSERT_EQ(column.Compare(i, j, true), CompareCells(texts[i], texts[j], true, English()))
                << "[" << texts[i] << "] vs [" << texts[j] << "]";
}

TEST(SortKeyColumn, ColumnsOfOneKind) {
    struct Case {
        const char* name;
        std::vector<std::string> texts;
        std::vector<std::string> ascending;
    };
    const Case cases[] = {
        {"numbers", {"100", "20", "3", "0", "007"}, {"0", "3", "007", "20", "100"}},
        {"dates",
         {"01/02/2004", "31/12/2003", "15/01/2004", "01/01/2004"},
         {"31/12/2003", "01/01/2004", "15/01/2004", "01/02/2004"}},
        // Keys too far apart for 32 bits take the wide path.
        {"dates to the year 9999",
         {"01/01/1990", "31/12/9999", "15/06/2000", "01/01/1990"},
         {"01/01/1990", "01/01/1990", "15/06/2000", "31/12/9999"}},
        {"sizes from 80000000 up",
         {"16", "2147483649", "5", "4294967295", "4096", "2147483650", "4294967294", "256", "2147483647"},
         {"5", "16", "256", "4096", "2147483647", "2147483649", "2147483650", "4294967294", "4294967295"}},
        {"words",
         {"coq", "Banana", "co-op", "apple", "coop", "Apple"},
         {"apple", "Apple", "Banana", "co-op", "coop", "coq"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sorted(c.texts, true), c.ascending) << c.name;
        const std::vector<std::string> descending(c.ascending.rbegin(), c.ascending.rend());
        EXPECT_EQ(Sorted(c.texts, false), descending) << c.name;
    }
}

TEST(SortKeyColumn, EqualCellsKeepTheirOrderInBothDirections) {
    struct Case {
        const char* name;
        std::vector<std::string> texts;
        std::vector<std::uint32_t> ascending;
        std::vector<std::uint32_t> descending;
    };
    const Case cases[] = {
        // 12, 0012 and 012 are the same number; the empty cell, "0" and "00" are all 0.
        {"numbers", {"12", "0", "0012", "", "5", "012", "00"}, {1, 3, 6, 4, 0, 2, 5}, {0, 2, 5, 4, 1, 3, 6}},
        {"dates", {"02/01/2004", "31/12/2003", "02/01/2004", "31/12/2003"}, {1, 3, 0, 2}, {0, 2, 1, 3}},
        // Latin-1 and UTF-8 spellings of the same word are equivalent.
        {"words", {"caf\xe9", "b", "caf\xc3\xa9", "a", "b"}, {3, 1, 4, 0, 2}, {0, 2, 1, 4, 3}},
    };
    for (const Case& c : cases) {
        for (bool bAscending : {true, false}) {
            std::vector<std::uint32_t> ids = Iota(c.texts.size());
            SortRowIdsByColumn(ids, AccessorOf(c.texts), bAscending, English());
            EXPECT_EQ(ids, bAscending ? c.ascending : c.descending) << c.name << " ascending=" << bAscending;
        }
    }
}

TEST(SortKeyColumn, SortsAnyRowIdsInTheirCurrentOrder) {
    // Row ids need not be positions: here they are sparse and not in increasing order.
    std::vector<std::string> texts(1000);
    texts[900] = "b";
    texts[17] = "a";
    texts[400] = "c";
    texts[3] = "a";
    std::vector<std::uint32_t> ids = {900, 17, 400, 3};
    SortRowIdsByColumn(ids, AccessorOf(texts), true, English());
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{17, 3, 900, 400}));

    // Two rows, the smallest table that can change order.
    std::vector<std::uint32_t> two = {400, 17};
    SortRowIdsByColumn(two, AccessorOf(texts), true, English());
    EXPECT_EQ(two, (std::vector<std::uint32_t>{17, 400}));
    SortRowIdsByColumn(two, AccessorOf(texts), false, English());
    EXPECT_EQ(two, (std::vector<std::uint32_t>{400, 17}));

    std::vector<std::uint32_t> none;
    SortRowIdsByColumn(none, AccessorOf(texts), true, English());
    EXPECT_TRUE(none.empty());
}

// Large columns: in a column of mixed kinds the comparison is inconsistent, yet the sort must finish, keep
// every row once, and give exactly the order of the stable merge sort run with the plain comparison.
// Columns this large also take the paths that share work among threads.
TEST(SortKeyColumn, LargeColumnsMatchThePlainComparison) {
    struct Case {
        TextMix mix;
        std::size_t nRows;
        bool bAscending;
    };
    const Case cases[] = {
        {TextMix::AllKinds, 200000, true},
        {TextMix::MostlyNumbers, 200000, true},
        {TextMix::MostlyNumbers, 200000, false},
        {TextMix::WordsOnly, 60000, false},
        {TextMix::SignedNumbers, 200000, true},
        {TextMix::FewNegatives, 200000, false},
        {TextMix::NegativesOnly, 200000, true},
        {TextMix::NegativesOnly, 200000, false},
        {TextMix::SizesAndMinusOne, 200000, true},
        {TextMix::SizesAndMinusOne, 200000, false},
        {TextMix::SizesMinusOneAndZero, 200000, true},
        {TextMix::Unsigned32, 200000, true},
        {TextMix::Unsigned32, 200000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mix " + std::to_string(static_cast<int>(c.mix)) + " rows " + std::to_string(c.nRows) +
                     " ascending " + std::to_string(c.bAscending));
        const std::vector<std::string> texts = MakeMixedCellTexts(c.nRows, 2024, c.mix);

        std::vector<std::uint32_t> fast = Iota(texts.size());
        SortRowIdsByColumn(fast, AccessorOf(texts), c.bAscending, English());

        std::vector<std::uint32_t> sorted = fast;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(sorted, Iota(texts.size()));

        std::vector<std::uint32_t> plain = Iota(texts.size());
        StableSortRowIds(plain, [&](std::uint32_t a, std::uint32_t b) {
            return CompareCells(texts[a], texts[b], c.bAscending, English());
        });
        EXPECT_TRUE(fast == plain);
    }
}

} // namespace
