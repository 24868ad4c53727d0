// The table's own menu and its row commands: the selected rows move to the top, up, down or to the
// bottom, or go to the clipboard as listing lines; the window's entries follow them in the menu.
#include <array>
#include <string>

#include <QApplication>
#include <QClipboard>

#include "app/main_dlg.h"
#include "listing/listing_format.h"
#include "res/resource.h"

CMenu CMainDlg::BuildTableMenu() {
    CMenu menu = m_rowMenu;
    // Whatever the system menu holds, in its order, so entries added there show here too.
    bool separatorDue = true;
    for (const CMenu::Entry& entry : GetSystemMenu(FALSE)->Entries()) {
        if ((entry.id & 0xFFF0) == SC_CLOSE)
            continue;
        if (entry.flags & MF_SEPARATOR) {
            separatorDue = true;
            continue;
        }
        if (separatorDue)
            menu.AppendMenu(MF_SEPARATOR);
        separatorDue = false;
        menu.AppendMenu(entry.flags, entry.id, entry.text);
    }
    return menu;
}

void CMainDlg::OnContextMenu(CWnd* pWnd, CPoint point) {
    if (pWnd != &m_list)
        return CDialog::OnContextMenu(pWnd, point);
    const UINT id = BuildTableMenu().TrackPopupMenu(TPM_RETURNCMD, point.x, point.y, this);
    if (id == 0)
        return;
    if (!OnCommand(static_cast<int>(id)))
        OnSysCommand(id, 0);
}

void CMainDlg::OnMoveToTop() {
    m_list.MoveSelectedRows(RowMove::ToTop);
}
void CMainDlg::OnMoveUp() {
    m_list.MoveSelectedRows(RowMove::Up);
}
void CMainDlg::OnMoveDown() {
    m_list.MoveSelectedRows(RowMove::Down);
}
void CMainDlg::OnMoveToBottom() {
    m_list.MoveSelectedRows(RowMove::ToBottom);
}

void CMainDlg::OnCopyRows() {
    const std::vector<std::uint32_t> rows = m_list.GetSelectedRows();
    if (rows.empty())
        return;
    // The columns ticked for Save; with none ticked, the lines of a three-column listing.
    ColumnChoice choice = CheckedColumns();
    if (choice == ColumnChoice{})
        choice = FieldColumns(ListingLayout::ThreeColumns);
    const CListRows::Snapshot snapshot = m_list.TakeSnapshot();
    std::string out;
    std::array<std::string_view, CellCount> cells;
    for (std::uint32_t row : rows) {
        snapshot.GetCells(static_cast<int>(row)).Split(cells);
        AppendListingLine(out, ValuesOfCells(cells, choice), choice);
        EndLineWithCrLf(out);
    }
    QApplication::clipboard()->setText(QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size())));
}
