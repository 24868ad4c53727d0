// A list control in report view: columns, rows of byte texts with a data word each, a header, and the
// column-click notification.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>

#include "model/list_rows.h"
#include "model/row_moves.h"
#include "platform/header_ctrl.h"
#include "platform/wnd.h"

class CListModel;
class CListViewWidget;

constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;

constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;

struct NMLISTVIEW {
    int iItem = -1;
    int iSubItem = 0;
};

// A comparison of two rows by their data words and the sort parameter: negative places the first before.
using PFNLVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);

class CListCtrl : public CWnd {
public:
    CListCtrl();
    ~CListCtrl() override;

    // Makes a list window of its own, without a dialog (tests and tools).
    BOOL CreateStandalone();

    int InsertColumn(int nCol, std::string_view heading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    int GetColumnWidth(int nCol) const;
    // A negative width is taken as 0. FALSE when there is no such column.
    BOOL SetColumnWidth(int nCol, int cx);

    int GetItemCount() const;
    // Inserts a row with its first text; this list appends at the end whatever the index asked for. Returns
    // the new row's index, -1 when there is no list window.
    int InsertItem(int nItem, std::string_view text);
    // Appends a row with all its texts at once, as InsertItem and SetItemText for each further text would.
    int InsertItem(std::span<const std::string_view> texts);
    BOOL SetItemText(int nItem, int nSubItem, std::string_view text);
    // Makes room for this many rows in all; a load that knows how many lines it reads at most says so.
    void ReserveItems(std::size_t nItems);
    // Sets the data word of every row to 0.
    void ClearAllItemData();
    BOOL SetItemData(int nItem, DWORD_PTR data);
    DWORD_PTR GetItemData(int nItem) const;
    // The whole text of a cell.
    std::string GetItemText(int nItem, int nSubItem) const;
    // The first selected row, -1 when none is selected.
    int GetSelectionMark() const;
    // The stored texts of a row as they stand now; they stay valid and unchanged until the list is
    // emptied, whatever is changed meanwhile.
    CPackedCells GetItemCells(int nItem) const;
    BOOL DeleteAllItems();

    // Sorts the rows stably by pfnCompare(data word of a row, data word of another row, dwData): a row goes
    // after a row that stood before it only when the comparison puts it strictly before. Any answers of the
    // comparison, even inconsistent ones, give a permutation of the rows. FALSE when there is no list.
    // This is the reference sort: the program sorts by an order worked out beforehand (SortItemsInOrder),
    // and the tests keep that order equal to this one. Keep both.
    BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData);
    // The data word of every row, listed in the order the rows were added (since the list was last
    // emptied), and for each the row's current index. Reading rows in the order they were added walks
    // memory in order, which matters when a sort reads a million of them.
    void GetItemDataInAddingOrder(std::vector<DWORD_PTR>& data, std::vector<std::uint32_t>& index) const;
    // Puts the rows in an order worked out beforehand: the row now at index positions[k] goes to index k.
    // FALSE, and nothing moves, unless positions is a permutation of the indices of the rows.
    BOOL SortItemsInOrder(const std::vector<std::uint32_t>& positions);

    // The indices of the selected rows, ascending.
    std::vector<std::uint32_t> GetSelectedRows() const;
    // Selects exactly these rows (ascending indices); the first becomes the current row and is shown.
    void SelectRows(std::span<const std::uint32_t> rows);
    // Moves the selected rows by hand, through SortItemsInOrder; they stay selected. FALSE when nothing is
    // selected. OnRowsMoved follows a move.
    BOOL MoveSelectedRows(RowMove move);
    // Moves the selected rows before the row at index `before` (the row count for the end), as a drop does.
    BOOL MoveSelectedRowsBefore(int before);

    // Repaints the list now, after the view has learned of every row added so far.
    void UpdateWindow();

    DWORD SetExtendedStyle(DWORD dwNewStyle);

    CHeaderCtrl* GetHeaderCtrl();

    // The rows as they stand now, unaffected by later changes.
    CListRows::Snapshot TakeSnapshot() const;

    // Called by the list window when a column header is clicked.
    void NotifyColumnClick(int column);

protected:
    virtual void OnColumnClick(NMLISTVIEW* pNMLV, LRESULT* pResult);
    // The rows were put in an order of the user's own.
    virtual void OnRowsMoved() {}

    CListModel* Model() const;
    CListViewWidget* View() const;

private:
    BOOL ApplyRowMove(const RowMoveResult& result);

    std::unique_ptr<CListViewWidget> m_pOwnWidget;
    // The model of the widget last looked up, kept because every added row asks for it several times.
    mutable QPointer<CListModel> m_pModel;
    mutable const QWidget* m_pModelWidget = nullptr;
    CHeaderCtrl m_headerWrapper;
    DWORD m_dwExtendedStyle = 0;
};
