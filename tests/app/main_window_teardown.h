// Ends a main window made by a test.
#pragma once

#include "app/main_dlg.h"

// The table's header object stays registered for the header widget after that widget is gone, so a later
// widget made at the same address would be taken for it. A test program makes many main windows, so the
// header object is unregistered while its widget still exists.
inline void EndMainWindow(CMainDlg& dlg) {
    if (CHeaderCtrl* header = dlg.m_list.GetHeaderCtrl())
        header->Detach();
    dlg.DestroyWindow();
}
