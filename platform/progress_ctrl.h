// A progress bar.
#pragma once

#include "platform/wnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int nLower, int nUpper);
    int SetPos(int nPos);
    int GetPos() const;
    int GetUpper() const;
};
