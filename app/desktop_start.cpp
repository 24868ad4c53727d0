#include "app/desktop_start.h"

#include <cstdio>
#include <mutex>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageLogContext>
#include <QString>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler g_previousHandler = nullptr;
std::mutex g_mutex;
std::vector<HeldMessage> g_held;
bool g_installed = false;
bool g_platformUp = false;

void Forward(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (g_previousHandler) {
        g_previousHandler(type, context, text);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

void PassOn(const HeldMessage& message) {
    const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
    Forward(message.type, context, message.text);
}

// Once the window system is up, the messages held back while it started are passed on in order.
void ReleaseHeldMessages() {
    std::vector<HeldMessage> held;
    {
        const std::lock_guard<std::mutex> lock(g_mutex);
        g_platformUp = true;
        held.swap(g_held);
    }
    for (const HeldMessage& message : held)
        PassOn(message);
}

void DisplayCheckHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The platform's name is set once Qt has made its platform integration.
    if (!g_platformUp && QGuiApplication::platformName().isEmpty()) {
        if (type == QtFatalMsg) {
            // Qt gives up here: no platform plugin could reach its window system.
            std::fputs(kNoDisplayMessage, stderr);
            _exit(1);
        }
        const std::lock_guard<std::mutex> lock(g_mutex);
        g_held.push_back({type, QByteArray(context.category ? context.category : "default"), text});
        return;
    }
    if (!g_platformUp)
        ReleaseHeldMessages();
    Forward(type, context, text);
}

// Runs as the QApplication's construction ends, with the window system up.
void ReleaseOnStart() {
    if (g_installed && !g_platformUp)
        ReleaseHeldMessages();
}
Q_COREAPP_STARTUP_FUNCTION(ReleaseOnStart)

} // namespace

void PrepareDesktopStart() {
    // The desktop matches the window to its entry, icon and metainfo by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUARROW_APP_ID));
    g_installed = true;
    g_previousHandler = qInstallMessageHandler(DisplayCheckHandler);
}
