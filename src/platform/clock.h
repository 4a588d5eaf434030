#pragma once

#include <QDateTime>

#include <functional>

// The program's sense of time and its way of letting the window breathe. Logic never reads the
// system clock or Qt's event loop directly: it asks the installed Clock, so that tests can run
// whole exercises on a virtual clock in milliseconds.
class Clock {
public:
    virtual ~Clock() = default;

    // Day clock: seconds since midnight with a fractional part.
    virtual double secondsSinceMidnight() = 0;
    // Local date and time of day.
    virtual QDateTime now() = 0;
    // Seconds on a clock that never jumps (no midnight wrap); only differences are meaningful.
    virtual double monotonicSeconds() = 0;

    // Handles the window events that are pending, without waiting for new ones.
    virtual void processEvents() = 0;
    // Sleeps until at least one event has been handled or `maxSeconds` have passed, handling
    // every event that arrives meanwhile. A negative limit waits without a limit.
    virtual void waitForEvents(double maxSeconds) = 0;
    // Sleeps until the monotonic clock reaches `deadline` without handling window events
    // (a blocking sound call).
    virtual void sleepUntil(double deadline) = 0;

    // Repeating timer; the callback runs between window events. Returns a handle for stopTimer.
    virtual int startTimer(int intervalMs, std::function<void()> callback) = 0;
    virtual void stopTimer(int handle) = 0;

    // Runs `action` once, soon, from the event loop (outside the caller's stack).
    virtual void post(std::function<void()> action) = 0;
};
