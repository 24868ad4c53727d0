// Notices a top-level window that another X client destroyed (for example a window manager's or a script's
// "destroy window") and closes its widget the ordinary way, so the program ends as after the close box
// instead of running on without a window.
#pragma once

#include <QAbstractNativeEventFilter>

class CWindowGoneFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
};
