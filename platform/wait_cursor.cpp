#include "platform/wait_cursor.h"

#include <QCursor>
#include <QGuiApplication>

CWaitCursor::CWaitCursor(bool bShow)
    : m_bShown(bShow && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (m_bShown)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

CWaitCursor::~CWaitCursor() {
    if (m_bShown)
        QGuiApplication::restoreOverrideCursor();
}
