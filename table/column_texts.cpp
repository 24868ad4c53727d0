#include "table/column_texts.h"

#include <algorithm>
#include <cstring>

#include "table/row_record.h"

CColumnTexts::CColumnTexts(const std::vector<DWORD_PTR>& records, const std::vector<std::uint32_t>& index,
                           int nColumn)
    : m_texts(records.size()) {
    const std::size_t nCount = records.size();
    std::vector<std::string_view> cells(nCount);
    std::size_t nSlot = 0;
    for (std::size_t k = 0; k < nCount; ++k) {
        if (const auto* record = reinterpret_cast<const RowRecord*>(records[k]))
            cells[k] = record->ppszCells[nColumn];
        nSlot = std::max(nSlot, std::min(cells[k].size(), kSlotLimit));
    }
    m_buffer.resize(nCount * nSlot);
    for (std::size_t k = 0; k < nCount; ++k) {
        const std::size_t i = index[k];
        if (cells[k].size() > nSlot) {
            m_texts[i] = cells[k];
            continue;
        }
        if (cells[k].empty())
            continue;  // the empty view it already has
        char* slot = m_buffer.data() + i * nSlot;
        std::memcpy(slot, cells[k].data(), cells[k].size());
        m_texts[i] = std::string_view(slot, cells[k].size());
    }
}
