#include "table/column_list_ctrl.h"

#include <string>

#include "listing/listing_format.h"

CColumnListCtrl::CColumnListCtrl() = default;

CColumnListCtrl::~CColumnListCtrl() {
    // Records normally go when the window does; a table that never had a window frees them here.
    FreeAllRecords();
    m_header.Detach();
}

void CColumnListCtrl::PreSubclassWindow() {
    CListCtrl::PreSubclassWindow();
    if (CHeaderCtrl* header = GetHeaderCtrl())
        m_header.SubclassWidget(header->GetSafeWidget());
}

bool CColumnListCtrl::InitColumns(std::string_view specification) {
    std::size_t p = 0;
    while (p <= specification.size()) {
        const std::size_t comma = specification.find(',', p);
        if (comma == std::string_view::npos)
            return true;
        const std::string_view title = specification.substr(p, comma - p);
        const std::size_t semicolon = specification.find(';', comma + 1);
        const std::size_t widthEnd = semicolon == std::string_view::npos ? specification.size() : semicolon;
        const int width = Atoi(specification.substr(comma + 1, widthEnd - comma - 1));
        const int index = m_nColumnCount++;
        if (InsertColumn(index, title, LVCFMT_LEFT, width) < 0)
            return false;
        if (semicolon == std::string_view::npos)
            return true;
        p = semicolon + 1;
    }
    return true;
}

int CColumnListCtrl::AddRow(std::span<const std::string_view> texts) {
    if (m_nColumnCount <= 0 || static_cast<int>(texts.size()) != m_nColumnCount)
        return -1;
    const int row = InsertItem(GetItemCount(), texts[0]);
    if (row < 0)
        return -1;
    auto record = std::make_unique<RowRecord>();
    record->ppszCells = std::make_unique<std::string[]>(static_cast<std::size_t>(m_nColumnCount));
    record->ppszCells[0].assign(texts[0]);
    for (int i = 1; i < m_nColumnCount; ++i) {
        SetItemText(row, i, texts[static_cast<std::size_t>(i)]);
        record->ppszCells[i].assign(texts[static_cast<std::size_t>(i)]);
    }
    SetItemData(row, reinterpret_cast<DWORD_PTR>(record.release()));
    return row;
}

void CColumnListCtrl::FreeRowRecord(int nItem) {
    delete reinterpret_cast<RowRecord*>(GetItemData(nItem));
    SetItemData(nItem, 0);
}

void CColumnListCtrl::FreeAllRecords() {
    for (int i = 0; i < GetItemCount(); ++i)
        FreeRowRecord(i);
}

BOOL CColumnListCtrl::DeleteAllRows() {
    FreeAllRecords();
    ++m_nClearCount;
    return DeleteAllItems();
}

void CColumnListCtrl::OnDestroy() {
    FreeAllRecords();
    CListCtrl::OnDestroy();
}
