// The order in which a click on a column header sorts the table's rows.
//
// A comparison of two rows looks at their texts t1 and t2 in the sorted column. Its kind is decided by
// the first operand t1 alone: a number when t1 is all decimal digits (the empty text included), else a
// date when t1 has the form DD/MM/YYYY, else text. A descending sort swaps the operands but keeps the
// kind. Numbers compare by their atoi values read in 64 bits (so every unsigned 32-bit value, up to
// 4294967295, as itself), dates by year, month and day, texts linguistically
// (CTextCollator). Because only t1 decides the kind, the order is not consistent in a column of mixed
// kinds; StableSortRowIds copes with that.
//
// Texts are byte strings, compared as given.
#pragma once

#include "sorting/text_collator.h"

#include <cstdint>
#include <functional>
#include <string_view>

enum class CellKind : std::uint8_t { Number, Date, Text };

// True when every byte is a decimal digit 0 to 9; true for the empty text.
bool IsAllDigits(std::string_view s);

// True for exactly 10 bytes of the form DD/MM/YYYY (digits, "/" at offsets 2 and 5).
bool IsDayMonthYear(std::string_view s);

// The kind of comparison a text makes when it is the first operand.
CellKind KindOfCell(std::string_view s);

// -1, 0 or 1 as the atoi values of a and b, read in 64 bits (AtoiWide), compare.
int CompareAsNumbers(std::string_view a, std::string_view b);

// -1, 0 or 1 comparing the year (offset 6, 4 bytes), then the month (offset 3, 2 bytes), then the day
// (offset 0, 2 bytes), each as the atoi value of that substring, cut at the end of the text (empty beyond
// it). Neither text needs to have the date form.
int CompareAsDates(std::string_view a, std::string_view b);

// Year, month and day of a text packed into one number that orders as CompareAsDates does.
std::int64_t DateOrderKey(std::string_view s);

// The comparison of two rows whose cells in the sorted column hold t1 and t2 (t1 being the first row):
// negative when the first row goes before the second, positive after, 0 when equivalent.
int CompareCells(std::string_view t1, std::string_view t2, bool bAscending, const CTextCollator& collator);

// Gives the text of the sorted column for a row id.
using RowTextAccessor = std::function<std::string_view(std::uint32_t)>;
