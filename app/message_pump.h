// Keeps the window alive during long work on the user-interface thread: waiting events (clicks, paints,
// timers) are dispatched, so other commands can run nested inside a load or a save.
#pragma once

// Dispatches the waiting events; returns false when the application is quitting. Cheap to call per byte
// or per row: the events are dispatched at most about every 20 ms, and in between a call costs a counter
// increment (and every 64th call a clock read).
bool PumpWaitingMessages();

// Dispatches the waiting events when the interval has passed since the last dispatch, reading the clock
// at once: for work that calls in steps of a few milliseconds rather than per row.
bool PumpWaitingMessagesIfDue();

// Dispatches the waiting events now, whatever the time since the last dispatch.
bool PumpWaitingMessagesNow();

// How often PumpWaitingMessages really dispatches: the clock is read every `callsBetweenClockReads` calls
// and events go out when `intervalMs` have passed since the last dispatch. Tests set (1, 0) to dispatch
// on every call; the defaults are (64, 20).
void SetPumpThrottle(unsigned callsBetweenClockReads, int intervalMs);
