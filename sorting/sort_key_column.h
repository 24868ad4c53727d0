// A column's texts prepared once for sorting, and the sorts of row ids by a column that use them.
//
// The order is the one CompareCells gives (sorting/row_compare.h): the kind of each comparison decided by
// its first operand, numbers by their atoi values, dates by year, month and day, texts linguistically.
#pragma once

#include "sorting/row_compare.h"
#include "sorting/text_collator.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The texts of one column, prepared once so that comparing two of them is cheap. Compare(i, j, asc)
// equals CompareCells(text of i, text of j, asc, collator) for every pair. Kinds and atoi values are
// computed at construction, date keys when some entry is a date. Texts are needed as soon as some entry is
// text (its comparisons read the other operand as text too): when many entries are text, all texts are
// ranked at construction; when only a few are, collation keys are made on first use, so that a column
// of numbers with a stray word does not pay for a million keys. Not thread-safe: Compare may fill that
// cache.
class CSortKeyColumn {
public:
    // Entries 0 to nCount - 1 take their texts from textAt(i). The accessor and the collator must
    // outlive the column, and the accessor must keep returning the same texts.
    CSortKeyColumn(std::uint32_t nCount, RowTextAccessor textAt, const CTextCollator& collator);

    std::uint32_t GetCount() const { return m_nCount; }

    // The comparison of entry i (first operand) with entry j, as CompareCells gives it.
    int Compare(std::uint32_t i, std::uint32_t j, bool bAscending) const;

    // The entries 0 to GetCount() - 1 in the order that StableSortRowIds gives them with Compare.
    std::vector<std::uint32_t> SortedPositions(bool bAscending) const;
    // The same for entries that stand in `order` now (a permutation of 0 to GetCount() - 1): the entries in
    // the order that StableSortRowIds gives `order` with Compare.
    std::vector<std::uint32_t> SortedEntries(bool bAscending, std::span<const std::uint32_t> order) const;

private:
    int CompareTexts(std::uint32_t i, std::uint32_t j) const;

    // Sort items for the merge sort of a column of mixed kinds: an atoi value, an entry and its kind.
    static constexpr std::uint32_t kPackedEntryLimit = std::uint32_t{1} << 30;
    struct PackedItem { // the kind in the entry's top two bits; for columns of at most 2^30 entries
        std::int64_t number;
        std::uint32_t entryAndKind;
        static PackedItem Make(std::int64_t number, std::uint32_t entry, CellKind kind) {
            return PackedItem{number, entry | (static_cast<std::uint32_t>(kind) << 30)};
        }
        std::uint32_t Entry() const { return entryAndKind & (kPackedEntryLimit - 1); }
        CellKind Kind() const { return static_cast<CellKind>(entryAndKind >> 30); }
    };
    struct WideItem {
        std::int64_t number;
        std::uint32_t entry;
        CellKind kind;
        static WideItem Make(std::int64_t number, std::uint32_t entry, CellKind kind) {
            return WideItem{number, entry, kind};
        }
        std::uint32_t Entry() const { return entry; }
        CellKind Kind() const { return kind; }
    };
    std::vector<std::uint32_t> DigitTextEntries(bool bAscending, std::span<const std::uint32_t> order) const;
    template <class ItemT>
    std::vector<std::uint32_t> MergeSortedEntries(bool bAscending,
                                                  std::span<const std::uint32_t> order) const;

    std::uint32_t m_nCount;
    RowTextAccessor m_textAt;
    const CTextCollator* m_pCollator;
    std::vector<CellKind> m_kinds;
    std::uint32_t m_nKindCount[3] = {0, 0, 0}; // entries of each kind
    std::vector<std::int64_t> m_numbers;       // atoi values, read in 64 bits
    std::vector<std::int64_t> m_dateKeys;      // year, month, day packed in order; when some entry is a date
    std::vector<std::uint64_t> m_digitKeys;    // when every entry is digits and hyphens, at most 16 digits
    std::vector<std::uint32_t> m_textRanks;    // when many entries are text
    mutable std::vector<std::optional<CTextCollator::CKey>> m_textKeys; // when only a few are
    bool m_bDigitTexts = false; // every text is digits and hyphens, compared by its bytes
    // Numbers with one repeated text among them (a size of -1 in a column of sizes) where every comparison,
    // whichever operand comes first, agrees with the atoi values: the order is then consistent.
    bool m_bNumbersOrderTexts = false;
};

// Sorts the row ids by the texts of their cells, stably (rows that compare equal keep their order),
// exactly as StableSortRowIds with CompareCells would. ids holds the rows in their current order;
// textOf gives the sorted column's text of a row id.
void SortRowIdsByColumn(std::vector<std::uint32_t>& ids, const RowTextAccessor& textOf, bool bAscending,
                        const CTextCollator& collator);

// The order a header click gives a table of n rows: rows are numbered 0 to n - 1 in the order they were
// stored, textOf(row) is the sorted column's text of a row, and order lists the rows as they stand now.
// Returns the rows as they stand after the sort: the result of SortRowIdsByColumn on order, but the texts
// are read once each in row number order, which for a table stored in the order of adding is the order
// of memory.
std::vector<std::uint32_t> SortedRowOrder(std::span<const std::uint32_t> order, const RowTextAccessor& textOf,
                                          bool bAscending, const CTextCollator& collator);
