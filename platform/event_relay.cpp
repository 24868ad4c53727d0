#include "platform/event_relay.h"

#include <QCoreApplication>
#include <QTimerEvent>

CEventRelay::CEventRelay(Handler handler) : m_fnHandler(std::move(handler)) {}

CEventRelay::~CEventRelay() {
    UnwatchApplication();
}

void CEventRelay::Watch(QObject* object) {
    if (object)
        object->installEventFilter(this);
}

void CEventRelay::WatchApplication() {
    if (m_bWatchingApplication || !QCoreApplication::instance())
        return;
    QCoreApplication::instance()->installEventFilter(this);
    m_bWatchingApplication = true;
}

void CEventRelay::UnwatchApplication() {
    if (!m_bWatchingApplication)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    m_bWatchingApplication = false;
}

bool CEventRelay::eventFilter(QObject* watched, QEvent* event) {
    if (m_fnHandler && m_fnHandler(watched, event))
        return true;
    return QObject::eventFilter(watched, event);
}

void CEventRelay::timerEvent(QTimerEvent* event) {
    if (!m_fnHandler || !m_fnHandler(this, event))
        QObject::timerEvent(event);
}
