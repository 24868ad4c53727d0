#include "platform/progress_ctrl.h"

#include <QProgressBar>

void CProgressCtrl::SetRange32(int nLower, int nUpper) {
    if (auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget()))
        bar->setRange(nLower, nUpper);
}

int CProgressCtrl::SetPos(int nPos) {
    auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget());
    if (!bar)
        return 0;
    const int previous = bar->value();
    if (previous != nPos)
        bar->setValue(nPos);
    return previous;
}

int CProgressCtrl::GetPos() const {
    auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget());
    return bar ? bar->value() : 0;
}

int CProgressCtrl::GetUpper() const {
    auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget());
    return bar ? bar->maximum() : 0;
}
