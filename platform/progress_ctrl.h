// A progress bar. The position is kept here and handed to the widget only when the bar would be drawn
// differently, and at most about 60 times a second (a widget repaints itself at once on every change), so
// setting it once per row of a million-row load costs next to nothing.
#pragma once

#include <QElapsedTimer>

#include "platform/wnd.h"

class CProgressCtrl : public CWnd {
public:
    // An empty range (nUpper not above nLower) shows an empty bar that stands still.
    void SetRange32(int nLower, int nUpper);
    // Returns the previous position.
    int SetPos(int nPos);
    // Shows the last position set now, even one the rate limit held back: the bar is seen where the work
    // ended before a message about its end.
    void FlushPos();
    int GetPos() const { return m_nPos; }

private:
    // The bar's filled length in pixels for a position.
    long long FilledPixels(int nPos) const;

    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
    long long m_nShownPixels = -1;
    QElapsedTimer m_sinceShown;
    unsigned m_nCallsSinceClockRead = 0;
};
