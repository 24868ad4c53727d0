#include "app/message_pump.h"

#include <chrono>
#include <cstdint>

#include <QCoreApplication>
#include <QEventLoop>

namespace {

using Clock = std::chrono::steady_clock;
std::chrono::milliseconds g_dispatchInterval(20);
std::uint32_t g_callsBetweenClockReads = 64;

Clock::time_point g_lastDispatch = Clock::now();
std::uint32_t g_callsSinceClockRead = 0;

} // namespace

bool PumpWaitingMessagesNow() {
    g_lastDispatch = Clock::now();
    g_callsSinceClockRead = 0;
    if (!QCoreApplication::instance())
        return true;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !QCoreApplication::closingDown();
}

bool PumpWaitingMessagesIfDue() {
    g_callsSinceClockRead = 0;
    if (Clock::now() - g_lastDispatch < g_dispatchInterval)
        return true;
    return PumpWaitingMessagesNow();
}

bool PumpWaitingMessages() {
    if (++g_callsSinceClockRead < g_callsBetweenClockReads)
        return true;
    g_callsSinceClockRead = 0;
    if (Clock::now() - g_lastDispatch < g_dispatchInterval)
        return true;
    return PumpWaitingMessagesNow();
}

void SetPumpThrottle(unsigned callsBetweenClockReads, int intervalMs) {
    g_callsBetweenClockReads = callsBetweenClockReads == 0 ? 1 : callsBetweenClockReads;
    g_dispatchInterval = std::chrono::milliseconds(intervalMs < 0 ? 0 : intervalMs);
    g_callsSinceClockRead = 0;
}
