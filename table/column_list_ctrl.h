// The report table of the main window: columns from a specification string, and a private record with
// copies of the texts of every row.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/header_ctrl.h"
#include "platform/list_ctrl.h"
#include "table/row_record.h"

class CColumnListCtrl : public CListCtrl {
public:
    CColumnListCtrl();
    ~CColumnListCtrl() override;

    // Creates the columns of a specification "NAME,WIDTH;NAME,WIDTH;...". True when every entry became a
    // column.
    bool InitColumns(std::string_view specification);
    // Appends a row with one text per column; returns its index, -1 when the list refuses it or the number
    // of texts is not the number of columns.
    int AddRow(std::span<const std::string_view> texts);
    // Frees every row's record, then deletes all rows.
    BOOL DeleteAllRows();

    int GetColumnCount() const { return m_nColumnCount; }
    // Counts the times the table was emptied; a long load compares it to notice that a command run
    // while it waited emptied the table under it.
    std::uint64_t GetClearCount() const { return m_nClearCount; }

    void OnDestroy() override;

protected:
    void PreSubclassWindow() override;

    CHeaderCtrl m_header;
    int m_nColumnCount = 0;
    int m_nSortColumn = -1;
    BOOL m_bSortAscending = TRUE;

private:
    void FreeRowRecord(int nItem);
    void FreeAllRecords();

    std::uint64_t m_nClearCount = 0;
};
