#include "platform/window_gone_filter.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QMetaObject>
#include <QWidget>

bool CWindowGoneFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY)
        return false;
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        // internalWinId, unlike winId, makes no native window for a widget that has none.
        if (widget->internalWinId() == destroyed->window && widget->isVisible()) {
            // Closed from the event loop, not from inside the native event being handled.
            QMetaObject::invokeMethod(widget, &QWidget::close, Qt::QueuedConnection);
        }
    }
    return false;
}
