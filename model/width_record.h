// The column width record kept in the settings store between runs.
//
// Little-endian signed 32-bit integers: the column count n, then the width of each column in index
// order; 4 + 4*n bytes, 28 for a table of six columns. Only widths are kept, not titles or order.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

// The record of the given column widths.
QByteArray WriteWidthRecord(const std::vector<int>& widths);

// The widths a stored record gives a table that has nCurrentCount columns, or nothing when the record is
// to be ignored and the widths are to stay as they are: an empty record, a record whose count differs
// from nCurrentCount, or a record that ends before its count or its last width (a damaged record changes
// no width rather than some of them). Bytes beyond the last width are ignored. A negative width is
// given as 0, a hidden column, since no column can be narrower.
std::optional<std::vector<int>> ReadWidthRecord(QByteArrayView record, int nCurrentCount);
