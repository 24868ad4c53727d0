// The private record each table row carries: the row's cell texts as they stood when it was added.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/list_rows.h"

struct RowRecord {
    // The record's copy of the row's cell texts, in column order (the name it has always had). They are
    // the bytes the list stored for the row when it was added: the list never changes stored bytes (a
    // changed cell gets new ones), so later changes of the list's texts do not reach this copy, and
    // holding it costs no second allocation of every text.
    CPackedCells ppszCells;
    // A word the record carries for its owner; 0 when the row is added, and nothing changes it.
    std::uint32_t dwUserValue = 0;

    std::string_view Cell(int nColumn) const { return ppszCells.Cell(nColumn); }
};
