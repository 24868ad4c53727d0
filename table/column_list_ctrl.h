// The report table of the main window: columns from a list "NAME,WIDTH;...", a private record with copies
// of the texts of every row, sorting by a click on a column header, and column widths kept between runs.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string_view>

#include "model/row_record.h"
#include "platform/list_ctrl.h"
#include "table/column_header_ctrl.h"

class CColumnListCtrl : public CListCtrl {
public:
    CColumnListCtrl();
    ~CColumnListCtrl() override;

    // Creates the columns of a column list "NAME,WIDTH;NAME,WIDTH;...". True when every entry became a
    // column.
    bool InitColumns(std::string_view columnList);
    // Appends a row with one text per column; returns its index, -1 when the list refuses it or the number
    // of texts is not the number of columns.
    int AddRow(std::span<const std::string_view> texts);
    // Frees every row's record, then deletes all rows; the header loses its sort arrow.
    BOOL DeleteAllRows();

    int GetColumnCount() const { return m_nColumnCount; }
    // Counts the times the table was emptied; a long load compares it to notice that a command run
    // while it waited emptied the table under it.
    std::uint64_t GetClearCount() const { return m_nClearCount; }

    // Stores the sort state, hands it to the header, and sorts the rows by column nColumn in the direction
    // given; returns the list's result. A column that does not exist sorts nothing (FALSE).
    // A long table is sorted on a thread of its own while the window stays live: the call returns once
    // the rows are in order. A table emptied, reloaded or reordered by hand meanwhile keeps what it has
    // then (FALSE). A header click during such a sort is ignored.
    BOOL SortByColumn(int nColumn, BOOL bAscending);
    // Puts the rows in an order worked out elsewhere (the row now at positions[k] goes to k) and forgets
    // the sort column, so the header draws no arrow. FALSE, and nothing changes, unless positions is a
    // permutation of the rows.
    BOOL ReorderRows(const std::vector<std::uint32_t>& positions);
    // Whether a sort runs off the window's thread now.
    bool IsSorting() const { return m_bSorting; }
    // Called on the window's thread about every kSortTickMs while a sort runs off it, with the time since
    // it started, and once with -1 when it has ended.
    void SetSortTicker(std::function<void(int elapsedMs)> ticker) { m_fnSortTicker = std::move(ticker); }
    static constexpr int kSortTickMs = 30;
    // Tables of this many rows or more are sorted off the window's thread.
    static constexpr int kThreadedSortRows = 20000;
    // The comparison the list sorts with: lParam1 and lParam2 are the rows' data words (their RowRecord),
    // lParamSort the control. Compares the texts of the control's sort column by the kind of the first row's
    // text; a descending sort swaps the operands. This is the reference comparison: SortByColumn works the
    // same order out from precomputed keys, and the tests keep the two equal (SortItems with this
    // function against SortByColumn). Keep both.
    static int CompareRows(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

    // Applies the widths stored by an earlier run when they fit the columns.
    void LoadColumnWidths();
    // Stores the current widths for the next run.
    void SaveColumnWidths();

    // No column is the sort column any more: the header shows no arrow, and the next click on any
    // column sorts ascending.
    void ClearSortIndicator();

    int GetSortColumn() const { return m_nSortColumn; }
    BOOL IsSortAscending() const { return m_bSortAscending; }
    CColumnHeaderCtrl& GetColumnHeader() { return m_header; }

    void OnDestroy() override;

protected:
    void PreSubclassWindow() override;
    // A header click: the same column again reverses the direction, another column sorts ascending.
    void OnColumnClick(NMLISTVIEW* pNMLV, LRESULT* pResult) override;
    // An order of the user's own is no column's order.
    void OnRowsMoved() override;

    CColumnHeaderCtrl m_header;
    int m_nColumnCount = 0;
    int m_nSortColumn = -1;
    BOOL m_bSortAscending = TRUE;

private:
    void FreeAllRecords();

    std::uint64_t m_nClearCount = 0;
    bool m_bSorting = false;
    std::function<void(int)> m_fnSortTicker;
    // The rows' records, in the order the rows were added; a row's data word is its record's address.
    std::deque<RowRecord> m_records;
};
