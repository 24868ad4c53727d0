// The main window's controls found as a user finds them, by their identifiers, and commands sent to the
// window as the platform sends a click on a control or a chosen menu entry.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/button.h"
#include "platform/dialog.h"
#include "platform/progress_ctrl.h"
#include "res/resource.h"
#include "table/column_list_ctrl.h"

// The control object bound to the child `id`; the test stops when there is none of that class.
template <class Control> Control& ControlOf(const CWnd& window, int id) {
    auto* control = dynamic_cast<Control*>(window.GetDlgItem(id));
    if (!control) {
        ADD_FAILURE() << "no bound control " << id;
        std::abort();
    }
    return *control;
}

inline CColumnListCtrl& TableOf(const CWnd& window) {
    return ControlOf<CColumnListCtrl>(window, IDC_LIST);
}
inline CProgressCtrl& ProgressOf(const CWnd& window) {
    return ControlOf<CProgressCtrl>(window, IDC_PROGRESS);
}
inline CButton& ButtonOf(const CWnd& window, int id) {
    return ControlOf<CButton>(window, id);
}

// The command `id` as a click on its control arrives (whether the control is enabled or not) or as the
// choice of a menu entry with that identifier does.
inline BOOL SendCommand(CDialog& dialog, int id) {
    return dialog.OnCommand(id);
}
// The system menu's entry `id`, chosen.
inline void SendSysCommand(CDialog& dialog, UINT id) {
    dialog.OnSysCommand(id, 0);
}
