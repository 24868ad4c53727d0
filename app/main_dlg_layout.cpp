// The main window at any size: the table takes the room the window gains, FileName the width the table
// gains, and the window's size and position are kept between runs with the column widths.
#include <algorithm>
#include <vector>

#include <QByteArray>

#include "app/main_dlg.h"
#include "listing/listing_format.h"
#include "platform/win_app.h"

namespace {

// Where the window record lives in the settings store, beside the column widths.
const QString kWindowSection = QStringLiteral("Windows");
const QString kMainWindowEntry = QStringLiteral("Main");

} // namespace

void CMainDlg::RestoreWindowState() {
    // The widths are kept as they were in the template's window, so they are read before the window
    // takes its kept size, and FileName then grows with the table.
    m_list.LoadColumnWidths();
    m_nTemplateListWidth = m_list.GetClientRect().Width();
    m_nFittedListWidth = m_nTemplateListWidth;
    if (CWinApp* app = AfxGetApp()) {
        std::vector<unsigned char> record;
        if (app->GetProfileBinary(kWindowSection, kMainWindowEntry, record))
            SetWindowGeometry(QByteArray(reinterpret_cast<const char*>(record.data()),
                                         static_cast<qsizetype>(record.size())));
    }
    const CRect client = GetClientRect();
    OnSize(SIZE_RESTORED, client.Width(), client.Height());
}

void CMainDlg::SaveWindowState() {
    // FileName is stored without what the window's growth gave it, so the next run, which adds the
    // growth of its own window, shows the same width.
    const int growth = m_nFittedListWidth - m_nTemplateListWidth;
    m_list.SetColumnWidth(CellFileName, m_list.GetColumnWidth(CellFileName) - growth);
    m_list.SaveColumnWidths();
    m_list.SetColumnWidth(CellFileName, m_list.GetColumnWidth(CellFileName) + growth);
    CWinApp* app = AfxGetApp();
    const QByteArray record = GetWindowGeometry();
    if (app && !record.isEmpty())
        app->WriteProfileBinary(kWindowSection, kMainWindowEntry,
                                reinterpret_cast<const unsigned char*>(record.constData()),
                                static_cast<std::size_t>(record.size()));
}

void CMainDlg::FitFileNameColumn() {
    const int width = m_list.GetClientRect().Width();
    if (m_nFittedListWidth <= 0 || width == m_nFittedListWidth)
        return;
    m_list.SetColumnWidth(CellFileName, m_list.GetColumnWidth(CellFileName) + width - m_nFittedListWidth);
    m_nFittedListWidth = width;
}

void CMainDlg::OnSize(UINT nType, int cx, int cy) {
    if (nType == SIZE_MINIMIZED)
        return;
    FitFileNameColumn();
    LayOutBanner(cx, cy);
    Invalidate();
}
