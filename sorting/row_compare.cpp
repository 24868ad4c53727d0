#include "sorting/row_compare.h"

#include "base/atoi.h"
#include "base/text_field.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

template <class T> int CompareValues(T a, T b) {
    return (a > b) - (a < b);
}

} // namespace

// The fields are 4, 2 and 2 bytes wide, so their atoi values lie in -999..9999 and -9..99.
std::int64_t DateOrderKey(std::string_view s) {
    const std::int64_t year = Atoi(Field(s, 6, 4));
    const std::int64_t month = Atoi(Field(s, 3, 2));
    const std::int64_t day = Atoi(Field(s, 0, 2));
    return ((year + 1000) * 1000 + (month + 100)) * 1000 + (day + 100);
}

bool IsAllDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), IsDigit);
}

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

int CompareAsNumbers(std::string_view a, std::string_view b) {
    return CompareValues(AtoiWide(a), AtoiWide(b));
}

int CompareAsDates(std::string_view a, std::string_view b) {
    static constexpr std::pair<std::size_t, std::size_t> kKeys[] = {{6, 4}, {3, 2}, {0, 2}};
    for (const auto& [offset, length] : kKeys) {
        const int r = CompareValues(Atoi(Field(a, offset, length)), Atoi(Field(b, offset, length)));
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
