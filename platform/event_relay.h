// Hands the events of the objects it watches, and its own timer ticks, to one handler function. The system's
// control classes are not Qt objects; this is how they receive the events of the widgets bound to them.
#pragma once

#include <functional>

#include <QObject>

class CEventRelay : public QObject {
public:
    // Returns true when the event has been dealt with and must not reach the watched object.
    using Handler = std::function<bool(QObject* watched, QEvent* event)>;

    explicit CEventRelay(Handler handler);
    ~CEventRelay() override;

    // Starts watching an object's events (an event filter on it).
    void Watch(QObject* object);
    // Watches every object of the application.
    void WatchApplication();
    // Stops watching the application's objects.
    void UnwatchApplication();
    bool IsWatchingApplication() const { return m_bWatchingApplication; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Timers started on the relay reach the handler with the relay as the watched object.
    void timerEvent(QTimerEvent* event) override;

private:
    Handler m_fnHandler;
    bool m_bWatchingApplication = false;
};
