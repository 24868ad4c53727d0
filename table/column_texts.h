// The texts of one column of the report table, copied from the rows' records into one buffer in row index
// order, so that a sort of a million rows reads them in order instead of chasing each row's record across
// the heap (a cache miss or more per row).
//
// The records are read in the order they were made, which is their order in memory; only the copies land
// scattered, and scattered writes cost less than scattered reads. Every text gets a slot as wide as the
// longest one, up to kSlotLimit bytes; a longer text is not copied and is read where it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/afx_types.h"

class CColumnTexts {
public:
    static constexpr std::size_t kSlotLimit = 64;

    // records[k] is the data word (RowRecord address, or 0 for a row without a record) of the kth row made,
    // index[k] that row's index in the table; nColumn is an existing column of the records. A row without a
    // record has the empty text.
    CColumnTexts(const std::vector<DWORD_PTR>& records, const std::vector<std::uint32_t>& index, int nColumn);

    std::uint32_t GetCount() const { return static_cast<std::uint32_t>(m_texts.size()); }
    // The text of the row at index i.
    std::string_view At(std::uint32_t i) const { return m_texts[i]; }

private:
    std::vector<char> m_buffer;
    std::vector<std::string_view> m_texts;
};
