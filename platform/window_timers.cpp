#include "platform/window_timers.h"

#include <QObject>

UINT_PTR CWindowTimers::Set(QObject* owner, UINT_PTR nIDEvent, UINT nElapse) {
    if (!owner)
        return 0;
    Kill(owner, nIDEvent);
    const int qtId = owner->startTimer(static_cast<int>(nElapse), Qt::PreciseTimer);
    if (qtId == 0)
        return 0;
    m_timerByQtId[qtId] = nIDEvent;
    m_qtIdByTimer[nIDEvent] = qtId;
    return nIDEvent;
}

BOOL CWindowTimers::Kill(QObject* owner, UINT_PTR nIDEvent) {
    auto it = m_qtIdByTimer.find(nIDEvent);
    if (it == m_qtIdByTimer.end())
        return FALSE;
    if (owner)
        owner->killTimer(it->second);
    m_timerByQtId.erase(it->second);
    m_qtIdByTimer.erase(it);
    return TRUE;
}

void CWindowTimers::KillAll(QObject* owner) {
    if (owner) {
        for (const auto& [qtId, timer] : m_timerByQtId)
            owner->killTimer(qtId);
    }
    m_timerByQtId.clear();
    m_qtIdByTimer.clear();
}

std::optional<UINT_PTR> CWindowTimers::Find(int qtId) const {
    auto it = m_timerByQtId.find(qtId);
    if (it == m_timerByQtId.end())
        return std::nullopt;
    return it->second;
}
