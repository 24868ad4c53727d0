#include "listing/message_pump.h"

#include <chrono>
#include <cstdint>

#include <QCoreApplication>
#include <QEventLoop>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDispatchInterval = std::chrono::milliseconds(20);
constexpr std::uint32_t kCallsBetweenClockReads = 64;

Clock::time_point g_lastDispatch = Clock::now();
std::uint32_t g_callsSinceClockRead = 0;

}  // namespace

bool PumpWaitingMessagesNow() {
    g_lastDispatch = Clock::now();
    g_callsSinceClockRead = 0;
    if (!QCoreApplication::instance())
        return true;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !QCoreApplication::closingDown();
}

bool PumpWaitingMessages() {
    if (++g_callsSinceClockRead < kCallsBetweenClockReads)
        return true;
    g_callsSinceClockRead = 0;
    if (Clock::now() - g_lastDispatch < kDispatchInterval)
        return true;
    return PumpWaitingMessagesNow();
}
