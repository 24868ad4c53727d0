// The timers of one window: each window-side timer id runs as one Qt timer of the object that receives
// the window's timer events. Setting an id that runs already restarts it with the new period.
#pragma once

#include <map>
#include <optional>

#include "base/afx_types.h"

class QObject;

class CWindowTimers {
public:
    // Starts (or restarts) timer nIDEvent on `owner` every nElapse ms; returns nIDEvent, or 0 on failure.
    UINT_PTR Set(QObject* owner, UINT_PTR nIDEvent, UINT nElapse);
    // Stops timer nIDEvent; FALSE when it is not running. A null owner only forgets the timer.
    BOOL Kill(QObject* owner, UINT_PTR nIDEvent);
    // Stops every timer, as when the window is destroyed.
    void KillAll(QObject* owner);
    // The window-side id of the Qt timer qtId, if it is one of these.
    std::optional<UINT_PTR> Find(int qtId) const;

private:
    std::map<int, UINT_PTR> m_timerByQtId;
    std::map<UINT_PTR, int> m_qtIdByTimer;
};
