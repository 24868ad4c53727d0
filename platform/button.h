// A push button or check box.
#pragma once

#include "platform/wnd.h"

constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

class CButton : public CWnd {
public:
    // Sets a check box's state without running its click handler.
    void SetCheck(int nCheck);
    int GetCheck() const;
};
