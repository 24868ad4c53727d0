#include "platform/progress_ctrl.h"

#include <QProgressBar>

void CProgressCtrl::SetRange32(int nLower, int nUpper) {
    m_nLower = nLower;
    m_nUpper = nUpper;
    m_nShownPixels = -1;
    if (auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget())) {
        // A bar whose maximum equals its minimum shows a busy animation instead: give it one empty step.
        bar->setRange(nLower, nUpper > nLower ? nUpper : nLower + 1);
        m_nPos = bar->value();
    }
}

void CProgressCtrl::FlushPos() {
    auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget());
    if (!bar)
        return;
    m_nShownPixels = FilledPixels(m_nPos);
    m_sinceShown.start();
    bar->setValue(m_nPos);
    bar->repaint();
}

long long CProgressCtrl::FilledPixels(int nPos) const {
    const long long span = static_cast<long long>(m_nUpper) - m_nLower;
    auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget());
    const long long width = bar ? bar->width() : 0;
    if (span <= 0)
        return nPos;
    return (static_cast<long long>(nPos) - m_nLower) * width / span;
}

int CProgressCtrl::SetPos(int nPos) {
    const int previous = m_nPos;
    m_nPos = nPos;
    auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget());
    if (!bar)
        return previous;
    const long long pixels = FilledPixels(nPos);
    constexpr qint64 kMinimumIntervalMs = 16;
    // Both ends are always shown exactly: an empty bar after a load, a full one at its end.
    const bool atEnd = nPos <= m_nLower || nPos >= m_nUpper;
    // A load sets the position once a row: the clock is read only when the bar would change, and then on
    // one call in kCallsBetweenClockReads.
    constexpr unsigned kCallsBetweenClockReads = 64;
    const auto due = [this] {
        if (!m_sinceShown.isValid())
            return true;
        if (++m_nCallsSinceClockRead < kCallsBetweenClockReads)
            return false;
        m_nCallsSinceClockRead = 0;
        return m_sinceShown.elapsed() >= kMinimumIntervalMs;
    };
    if (atEnd || (pixels != m_nShownPixels && due())) {
        m_nShownPixels = pixels;
        m_sinceShown.start();
        bar->setValue(nPos);
    }
    return previous;
}
