// The About entry of the main window's system menu.
#include "app/about_dlg.h"
#include "app/main_dlg.h"
#include "res/resource.h"

void CMainDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        // Owned by the main window, so it opens centred over it and stays above it.
        CAboutDlg dlgAbout(this);
        dlgAbout.DoModal();
    } else if ((nID & 0xFFF0) == IDM_EXPORT_WEIGHTS) {
        OnExportSortWeights();
    } else if (!OnDiscCommand(nID & 0xFFF0) && !OnTraceCommand(nID & 0xFFF0)) {
        CDialog::OnSysCommand(nID, lParam);
    }
}
