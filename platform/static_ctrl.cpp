#include "platform/static_ctrl.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QTimerEvent>

#include "platform/event_relay.h"
#include "platform/text_alignment.h"

CStatic::CStatic() = default;

CStatic::~CStatic() {
    m_timers.KillAll(m_pRelay.get());
}

void CStatic::PreSubclassWindow() {
    EnsureRelay();
}

void CStatic::EnsureRelay() {
    if (!m_pRelay)
        m_pRelay = std::make_unique<CEventRelay>(
            [this](QObject* watched, QEvent* event) { return OnEvent(watched, event); });
    QWidget* widget = GetSafeWidget();
    if (widget && widget != m_pWatched) {
        m_pRelay->Watch(widget);
        m_pWatched = widget;
        // A widget that goes with its parent takes its timers with it, as a window's timers end with it.
        QObject::connect(widget, &QObject::destroyed, m_pRelay.get(), [this] {
            m_pWatched = nullptr;
            m_timers.KillAll(m_pRelay.get());
        });
    }
}

DWORD CStatic::GetStyle() const {
    DWORD style = m_bNotify ? SS_NOTIFY : 0;
    if (const auto* label = qobject_cast<const QLabel*>(GetSafeWidget())) {
        const Qt::Alignment alignment = label->alignment();
        if (alignment & Qt::AlignHCenter)
            style |= SS_CENTER;
        else if (alignment & Qt::AlignRight)
            style |= SS_RIGHT;
        if (alignment & Qt::AlignVCenter)
            style |= SS_CENTERIMAGE;
    }
    return style;
}

void CStatic::ModifyStyle(DWORD dwRemove, DWORD dwAdd) {
    const DWORD style = (GetStyle() & ~dwRemove) | dwAdd;
    m_bNotify = (style & SS_NOTIFY) != 0;
    if (m_bNotify)
        EnsureRelay();
    if (auto* label = qobject_cast<QLabel*>(GetSafeWidget())) {
        label->setAlignment(TextAlignment(style & SS_CENTER, style & SS_RIGHT, style & SS_CENTERIMAGE));
    }
}

UINT_PTR CStatic::SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
    if (!GetSafeWidget())
        return 0;
    EnsureRelay();
    return m_timers.Set(m_pRelay.get(), nIDEvent, nElapse);
}

BOOL CStatic::KillTimer(UINT_PTR nIDEvent) {
    return m_timers.Kill(m_pRelay.get(), nIDEvent);
}

void CStatic::OnDestroy() {
    m_timers.KillAll(m_pRelay.get());
}

bool CStatic::OnEvent(QObject* watched, QEvent* event) {
    if (watched == m_pRelay.get()) {
        if (event->type() != QEvent::Timer)
            return false;
        const std::optional<UINT_PTR> timer = m_timers.Find(static_cast<QTimerEvent*>(event)->timerId());
        if (!timer)
            return false;
        OnTimer(*timer);
        return true;
    }
    QWidget* widget = GetSafeWidget();
    if (watched != widget || !widget)
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        const COLORREF colour = CtlColor(CTLCOLOR_STATIC);
        if (colour != CLR_DEFAULT) {
            const QColor textColour(GetRValue(colour), GetGValue(colour), GetBValue(colour));
            if (widget->palette().color(QPalette::WindowText) != textColour) {
                QPalette palette = widget->palette();
                palette.setColor(QPalette::WindowText, textColour);
                widget->setPalette(palette);
            }
        }
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // Taking the press keeps the release on this control, so the click can be reported. The second
        // press of a double click is taken too but is no second click.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_bNotify || mouse->button() != Qt::LeftButton)
            return false;
        m_bLeftPressed = event->type() == QEvent::MouseButtonPress;
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_bNotify || mouse->button() != Qt::LeftButton || !m_bLeftPressed)
            return false;
        m_bLeftPressed = false;
        if (widget->rect().contains(mouse->position().toPoint()))
            OnClicked();
        return true;
    }
    default:
        return false;
    }
}
