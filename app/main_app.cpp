#include "app/main_app.h"

#include "app/main_dlg.h"

BOOL CMainApp::InitInstance() {
    Enable3dControls();
    SetRegistryKey(QStringLiteral("Pellam"));

    CMainDlg dlg;
    dlg.SetFileToOpen(m_commandLine.folderText, m_commandLine.fileName);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The window has ended: return false so no message loop of our own starts and the program ends.
    return FALSE;
}
