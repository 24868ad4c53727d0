// The wait cursor over the whole application while an object of this class lives.
#pragma once

class CWaitCursor {
public:
    // Shows the wait cursor when bShow is true; otherwise does nothing.
    explicit CWaitCursor(bool bShow = true);
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    bool IsShown() const { return m_bShown; }

private:
    bool m_bShown;
};
