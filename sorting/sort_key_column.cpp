#include "sorting/sort_key_column.h"

#include "base/atoi.h"
#include "sorting/radix_sort.h"
#include "sorting/stable_sort.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>
#include <type_traits>
#include <utility>

namespace {

template <class T> int CompareValues(T a, T b) {
    return (a > b) - (a < b);
}

// Orders values of any signed or unsigned integer type as unsigned 64-bit numbers.
template <class T> std::uint64_t OrderedBits(T value) {
    if constexpr (std::is_signed_v<T>)
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(value)) ^ (std::uint64_t{1} << 63);
    else
        return static_cast<std::uint64_t>(value);
}

// The entries listed in order (their current order), sorted stably by keys[entry], ascending or
// descending.
template <class T>
std::vector<std::uint32_t> StableEntriesByKey(const std::vector<T>& keys,
                                              std::span<const std::uint32_t> order, bool bAscending) {
    const std::size_t n = order.size();
    std::vector<std::uint32_t> entries(n);
    if (n == 0)
        return entries;
    const auto [lowest, highest] = std::minmax_element(keys.begin(), keys.end());
    const std::uint64_t low = OrderedBits(*lowest);
    const std::uint64_t span = OrderedBits(*highest) - low;
    if (span <= UINT32_MAX) {
        // Keys relative to the smallest fit 32 bits: each item is that key above its entry, 8 bytes to
        // move instead of 16. Descending sorts the keys' complements within the span, which keeps equal
        // keys in their order.
        struct Item {
            std::uint64_t key;
        };
        UninitVector<Item> items(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t relative = OrderedBits(keys[order[i]]) - low;
            items[i].key = ((bAscending ? relative : span - relative) << 32) | order[i];
        }
        RadixSortByKey(items, 32);
        for (std::size_t k = 0; k < n; ++k)
            entries[k] = static_cast<std::uint32_t>(items[k].key);
        return entries;
    }
    struct Item {
        std::uint64_t key;
        std::uint32_t entry;
    };
    UninitVector<Item> items(n);
    for (std::size_t i = 0; i < n; ++i)
        items[i] = Item{OrderedBits(keys[order[i]]), order[i]};
    // Descending becomes ascending on the keys' complements, without disturbing equal keys.
    if (!bAscending)
        for (Item& item : items)
            item.key = ~item.key;
    RadixSortByKey(items);
    for (std::size_t k = 0; k < n; ++k)
        entries[k] = items[k].entry;
    return entries;
}

// What the constructor of CSortKeyColumn needs of one text: its kind, its atoi value and whether it is
// all digits and hyphens. A text of digits only, with or without a minus sign before them (the common
// cases), is read once; others take the general path.
struct CellScan {
    CellKind kind;
    std::int64_t number;
    bool bDigitsAndHyphens;
};

CellScan ScanCell(std::string_view s) {
    // Up to 18 digits cannot overflow; a longer run takes the general path, which clamps.
    constexpr std::size_t kSafeDigits = 18;
    std::int64_t magnitude = 0;
    const bool bMinus = !s.empty() && s[0] == '-';
    std::size_t i = bMinus ? 1 : 0;
    for (; i < s.size(); ++i) {
        const unsigned digit = static_cast<unsigned char>(s[i]) - unsigned{'0'};
        if (digit > 9)
            break;
        if (i < kSafeDigits)
            magnitude = magnitude * 10 + digit;
    }
    if (i == s.size() && s.size() <= kSafeDigits) {
        if (!bMinus)
            return CellScan{CellKind::Number, magnitude, true};
        if (s.size() > 1)
            return CellScan{CellKind::Text, -magnitude, true};
    }
    return CellScan{KindOfCell(s), AtoiWide(s), CTextCollator::IsDigitsAndHyphens(s)};
}

std::vector<std::uint32_t> Iota(std::uint32_t n) {
    std::vector<std::uint32_t> ids(n);
    std::iota(ids.begin(), ids.end(), 0u);
    return ids;
}

} // namespace

CSortKeyColumn::CSortKeyColumn(std::uint32_t nCount, RowTextAccessor textAt, const CTextCollator& collator)
    : m_nCount(nCount), m_textAt(std::move(textAt)), m_pCollator(&collator) {
    m_kinds.resize(nCount);
    m_numbers.resize(nCount);
    bool bDigitTexts = collator.ComparesDigitsAndHyphensByBytes();
    // Whether the texts, all the same, order against every number as their atoi values do: checked from
    // the first text on, and afterwards for the numbers before it.
    std::string_view text;
    std::int64_t textValue = 0;
    std::uint32_t nFirstText = nCount;
    bool bNumbersOrderTexts = bDigitTexts;
    const auto ordersText = [&text, &textValue](std::string_view number, std::int64_t value) {
        return CTextCollator::CompareDigitsAndHyphens(text, number) == CompareValues(textValue, value);
    };
    // A column whose every entry is a text of digits and hyphens (negative numbers) sorts by the digits'
    // keys directly, without ranks; they are made in the same pass, for as long as the column can be one.
    bool bDigitKeys = bDigitTexts;
    for (std::uint32_t i = 0; i < nCount; ++i) {
        const std::string_view cell = m_textAt(i);
        const CellScan scan = ScanCell(cell);
        m_kinds[i] = scan.kind;
        ++m_nKindCount[static_cast<int>(scan.kind)];
        m_numbers[i] = scan.number;
        bDigitTexts = bDigitTexts && scan.bDigitsAndHyphens;
        if (bDigitKeys) {
            if (i == 0)
                m_digitKeys.resize(nCount);
            bDigitKeys =
                bDigitTexts && scan.kind == CellKind::Text && CTextCollator::DigitsKey(cell, m_digitKeys[i]);
            if (!bDigitKeys)
                m_digitKeys = {};
        }
        if (!bNumbersOrderTexts || !bDigitTexts) {
            bNumbersOrderTexts = false;
        } else if (scan.kind == CellKind::Number) {
            bNumbersOrderTexts = nFirstText == nCount || ordersText(cell, scan.number);
        } else if (nFirstText == nCount) {
            text = cell;
            textValue = scan.number;
            nFirstText = i;
        } else {
            bNumbersOrderTexts = cell == text;
        }
    }
    m_bDigitTexts = bDigitTexts;
    for (std::uint32_t i = 0; bNumbersOrderTexts && i < nFirstText && i < nCount; ++i)
        bNumbersOrderTexts = ordersText(m_textAt(i), m_numbers[i]);
    m_bNumbersOrderTexts = bNumbersOrderTexts && nFirstText < nCount;
    // A comparison reads the second operand the way the first operand's kind says, so each prepared form
    // is needed for every entry as soon as one entry has that kind.
    if (m_nKindCount[static_cast<int>(CellKind::Date)] > 0) {
        m_dateKeys.resize(nCount);
        for (std::uint32_t i = 0; i < nCount; ++i)
            m_dateKeys[i] = DateOrderKey(m_textAt(i));
    }
    const std::uint32_t nTexts = m_nKindCount[static_cast<int>(CellKind::Text)];
    // Ranking costs a key for every entry up front; lazy keys cost one per entry actually compared as
    // text, plus scattered comparisons. With one text entry in sixteen most entries meet one anyway.
    if (nTexts > 0 && nTexts >= nCount / 16 && m_digitKeys.empty() && !m_bNumbersOrderTexts)
        m_textRanks = collator.MakeRanks(nCount, m_textAt);
    else if (nTexts > 0 && !m_bDigitTexts)
        m_textKeys.resize(nCount);
}

int CSortKeyColumn::CompareTexts(std::uint32_t i, std::uint32_t j) const {
    if (!m_textRanks.empty())
        return CompareValues(m_textRanks[i], m_textRanks[j]);
    if (m_bDigitTexts)
        return CTextCollator::CompareDigitsAndHyphens(m_textAt(i), m_textAt(j));
    std::optional<CTextCollator::CKey>& keyI = m_textKeys[i];
    if (!keyI)
        keyI = m_pCollator->MakeKey(m_textAt(i));
    std::optional<CTextCollator::CKey>& keyJ = m_textKeys[j];
    if (!keyJ)
        keyJ = m_pCollator->MakeKey(m_textAt(j));
    return keyI->Compare(*keyJ);
}

int CSortKeyColumn::Compare(std::uint32_t i, std::uint32_t j, bool bAscending) const {
    const CellKind kind = m_kinds[i];
    if (!bAscending)
        std::swap(i, j);
    switch (kind) {
    case CellKind::Number:
        return CompareValues(m_numbers[i], m_numbers[j]);
    case CellKind::Date:
        return CompareValues(m_dateKeys[i], m_dateKeys[j]);
    case CellKind::Text:
        break;
    }
    return CompareTexts(i, j);
}

std::vector<std::uint32_t> CSortKeyColumn::SortedPositions(bool bAscending) const {
    return SortedEntries(bAscending, Iota(m_nCount));
}

std::vector<std::uint32_t> CSortKeyColumn::SortedEntries(bool bAscending,
                                                         std::span<const std::uint32_t> order) const {
    // When every entry has the same kind, every comparison compares one number per entry the same way:
    // the order is consistent, and a stable sort of the entries by that number is the one order that
    // any stable sort with Compare gives, the merge sort included.
    if (m_nKindCount[static_cast<int>(CellKind::Number)] == m_nCount)
        return StableEntriesByKey(m_numbers, order, bAscending);
    if (m_nKindCount[static_cast<int>(CellKind::Date)] == m_nCount)
        return StableEntriesByKey(m_dateKeys, order, bAscending);
    if (m_nKindCount[static_cast<int>(CellKind::Text)] == m_nCount && !m_textRanks.empty())
        return StableEntriesByKey(m_textRanks, order, bAscending);
    if (!m_digitKeys.empty())
        return DigitTextEntries(bAscending, order);
    // Numbers and one repeated text that every comparison orders as its atoi value: consistent again.
    if (m_bNumbersOrderTexts)
        return StableEntriesByKey(m_numbers, order, bAscending);

    // Mixed kinds: the merge sort with Compare itself. Items carry number and kind, so comparisons whose
    // first operand is a number (the common case) need no lookups. The kind rides in the top bits of the
    // entry, which keeps an item at 16 bytes (a 64-bit value and the entry) for the merge passes to move.
    if (m_nCount <= kPackedEntryLimit)
        return MergeSortedEntries<PackedItem>(bAscending, order);
    return MergeSortedEntries<WideItem>(bAscending, order);
}

std::vector<std::uint32_t> CSortKeyColumn::DigitTextEntries(bool bAscending,
                                                            std::span<const std::uint32_t> order) const {
    // Every comparison is CompareDigitsAndHyphens, a consistent order: the digits first, by their keys,
    // then, among texts of the same digits, the whole texts by their bytes. Both steps are stable, and
    // descending reverses each without disturbing equal texts.
    struct Item {
        std::uint64_t key;
        std::uint32_t entry;
    };
    const std::size_t n = order.size();
    UninitVector<Item> items(n);
    const std::uint64_t flip = bAscending ? 0 : ~std::uint64_t{0};
    for (std::size_t k = 0; k < n; ++k)
        items[k] = Item{m_digitKeys[order[k]] ^ flip, order[k]};
    RadixSortByKey(items);
    for (std::size_t first = 0; first < n;) {
        std::size_t last = first + 1;
        while (last < n && items[last].key == items[first].key)
            ++last;
        if (last - first > 1)
            std::stable_sort(items.begin() + static_cast<std::ptrdiff_t>(first),
                             items.begin() + static_cast<std::ptrdiff_t>(last),
                             [this, bAscending](const Item& a, const Item& b) {
                                 const std::string_view x = m_textAt(a.entry);
                                 const std::string_view y = m_textAt(b.entry);
                                 return bAscending ? x < y : y < x;
                             });
        first = last;
    }
    std::vector<std::uint32_t> entries(n);
    for (std::size_t k = 0; k < n; ++k)
        entries[k] = items[k].entry;
    return entries;
}

template <class ItemT>
std::vector<std::uint32_t> CSortKeyColumn::MergeSortedEntries(bool bAscending,
                                                              std::span<const std::uint32_t> order) const {
    std::vector<ItemT> items(order.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        items[k] = ItemT::Make(m_numbers[order[k]], order[k], m_kinds[order[k]]);
    const auto compare = [this](const ItemT& x, const ItemT& y, CellKind kind) {
        switch (kind) {
        case CellKind::Number:
            return CompareValues(x.number, y.number);
        case CellKind::Date:
            return CompareValues(m_dateKeys[x.Entry()], m_dateKeys[y.Entry()]);
        case CellKind::Text:
            break;
        }
        return CompareTexts(x.Entry(), y.Entry());
    };
    // keys made on first use are not to be made by two threads at once
    const bool bTwoThreads = m_textKeys.empty();
    if (bAscending)
        StableSortItems(
            std::span<ItemT>(items),
            [&compare](const ItemT& first, const ItemT& second) {
                return compare(first, second, first.Kind());
            },
            bTwoThreads);
    else
        StableSortItems(
            std::span<ItemT>(items),
            [&compare](const ItemT& first, const ItemT& second) {
                return compare(second, first, first.Kind());
            },
            bTwoThreads);
    std::vector<std::uint32_t> entries(items.size());
    for (std::size_t k = 0; k < items.size(); ++k)
        entries[k] = items[k].Entry();
    return entries;
}

void SortRowIdsByColumn(std::vector<std::uint32_t>& ids, const RowTextAccessor& textOf, bool bAscending,
                        const CTextCollator& collator) {
    const auto n = static_cast<std::uint32_t>(ids.size());
    if (n < 2)
        return;
    // The column's entries are the positions in the current order, so the ids may be any numbers.
    const CSortKeyColumn column(
        n, [&ids, &textOf](std::uint32_t position) { return textOf(ids[position]); }, collator);
    const std::vector<std::uint32_t> positions = column.SortedPositions(bAscending);
    std::vector<std::uint32_t> sorted(n);
    for (std::uint32_t k = 0; k < n; ++k)
        sorted[k] = ids[positions[k]];
    ids = std::move(sorted);
}

std::vector<std::uint32_t> SortedRowOrder(std::span<const std::uint32_t> order, const RowTextAccessor& textOf,
                                          bool bAscending, const CTextCollator& collator) {
    const auto n = static_cast<std::uint32_t>(order.size());
    if (n < 2)
        return std::vector<std::uint32_t>(order.begin(), order.end());
    // Keys are made row by row in the order the rows were stored, which is the order their texts lie in
    // memory; only the small keys are then read in display order.
    const CSortKeyColumn column(n, textOf, collator);
    return column.SortedEntries(bAscending, order);
}
