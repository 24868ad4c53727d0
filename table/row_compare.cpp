#include "table/row_compare.h"

#include "table/stable_sort.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <utility>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// White space as the C library's isspace sees it in the "C" locale.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

template <class T>
int CompareValues(T a, T b) {
    return (a > b) - (a < b);
}

// The substring at offset with at most length bytes, cut at the end of the text.
std::string_view Field(std::string_view s, std::size_t offset, std::size_t length) {
    if (offset >= s.size())
        return {};
    return s.substr(offset, length);
}

// Year, month and day of a text packed into one number that orders the same way. The fields are 4, 2
// and 2 bytes wide, so their atoi values lie in -999..9999 and -9..99.
std::int64_t DateKey(std::string_view s) {
    const std::int64_t year = AsciiToInt(Field(s, 6, 4));
    const std::int64_t month = AsciiToInt(Field(s, 3, 2));
    const std::int64_t day = AsciiToInt(Field(s, 0, 2));
    return ((year + 1000) * 1000 + (month + 100)) * 1000 + (day + 100);
}

} // namespace

bool IsAllDigits(std::string_view s) { return std::all_of(s.begin(), s.end(), IsDigit); }

bool IsDayMonthYear(std::string_view s) {
    if (s.size() != 10 || s[2] != '/' || s[5] != '/')
        return false;
    for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!IsDigit(s[i]))
            return false;
    return true;
}

CellKind KindOfCell(std::string_view s) {
    if (IsAllDigits(s))
        return CellKind::Number;
    if (IsDayMonthYear(s))
        return CellKind::Date;
    return CellKind::Text;
}

int AsciiToInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsSpace(s[i]))
        ++i;
    bool bNegative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        bNegative = s[i] == '-';
        ++i;
    }
    // Accumulate the magnitude, stopping to grow once it is past every 32-bit value.
    constexpr std::int64_t kLimit = static_cast<std::int64_t>(INT_MAX) + 1;
    std::int64_t magnitude = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        if (magnitude <= kLimit)
            magnitude = magnitude * 10 + (s[i] - '0');
    }
    const std::int64_t value = bNegative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

int CompareAsNumbers(std::string_view a, std::string_view b) { return CompareValues(AsciiToInt(a), AsciiToInt(b)); }

int CompareAsDates(std::string_view a, std::string_view b) {
    static constexpr std::pair<std::size_t, std::size_t> kKeys[] = {{6, 4}, {3, 2}, {0, 2}};
    for (const auto& [offset, length] : kKeys) {
        const int r = CompareValues(AsciiToInt(Field(a, offset, length)), AsciiToInt(Field(b, offset, length)));
        if (r != 0)
            return r;
    }
    return 0;
}

int CompareCells(std::string_view t1, std::string_view t2, bool bAscending, const CTextCollator& collator) {
    const CellKind kind = KindOfCell(t1);
    if (!bAscending)
        std::swap(t1, t2);
    switch (kind) {
    case CellKind::Number:
        return CompareAsNumbers(t1, t2);
    case CellKind::Date:
        return CompareAsDates(t1, t2);
    case CellKind::Text:
        break;
    }
    return collator.Compare(t1, t2);
}

CSortKeyColumn::CSortKeyColumn(std::uint32_t nCount, RowTextAccessor textAt, const CTextCollator& collator)
    : m_nCount(nCount), m_textAt(std::move(textAt)), m_pCollator(&collator) {
    m_kinds.resize(nCount);
    bool bAnyNumber = false;
    bool bAnyDate = false;
    bool bAnyText = false;
    for (std::uint32_t i = 0; i < nCount; ++i) {
        const CellKind kind = KindOfCell(m_textAt(i));
        m_kinds[i] = kind;
        bAnyNumber |= kind == CellKind::Number;
        bAnyDate |= kind == CellKind::Date;
        bAnyText |= kind == CellKind::Text;
    }
    // A comparison reads the second operand the way the first operand's kind says, so each prepared form
    // is needed for every entry as soon as one entry has that kind.
    if (bAnyNumber) {
        m_numbers.resize(nCount);
        for (std::uint32_t i = 0; i < nCount; ++i)
            m_numbers[i] = AsciiToInt(m_textAt(i));
    }
    if (bAnyDate) {
        m_dateKeys.resize(nCount);
        for (std::uint32_t i = 0; i < nCount; ++i)
            m_dateKeys[i] = DateKey(m_textAt(i));
    }
    if (bAnyText)
        m_textKeys.resize(nCount);
}

const CTextCollator::CKey& CSortKeyColumn::TextKey(std::uint32_t i) const {
    std::optional<CTextCollator::CKey>& key = m_textKeys[i];
    if (!key)
        key = m_pCollator->MakeKey(m_textAt(i));
    return *key;
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
    return TextKey(i).Compare(TextKey(j));
}

void SortRowIdsByColumn(std::vector<std::uint32_t>& ids, const RowTextAccessor& textOf, bool bAscending,
                        const CTextCollator& collator) {
    const auto n = static_cast<std::uint32_t>(ids.size());
    if (n < 2)
        return;
    // Sort positions in the current order, then reorder the ids by them: the column's entries are the
    // positions, so the ids may be any numbers.
    const CSortKeyColumn column(
        n, [&ids, &textOf](std::uint32_t position) { return textOf(ids[position]); }, collator);
    std::vector<std::uint32_t> positions(n);
    std::iota(positions.begin(), positions.end(), 0u);
    StableSortRowIds(positions, [&column, bAscending](std::uint32_t a, std::uint32_t b) {
        return column.Compare(a, b, bAscending);
    });
    std::vector<std::uint32_t> sorted(n);
    for (std::uint32_t k = 0; k < n; ++k)
        sorted[k] = ids[positions[k]];
    ids = std::move(sorted);
}
