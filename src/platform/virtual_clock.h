#pragma once

#include <functional>
#include <map>
#include <string>

#include "platform/clock.h"

// A clock for tests and offline rendering: time moves only when somebody waits, and "window
// events" are actions scripted at virtual moments. A wait runs every action that falls inside
// it, in time order, then returns with the clock at its deadline.
class VirtualClock : public Clock {
public:
    // `start` is the local date and time at virtual second 0.
    explicit VirtualClock(QDateTime start = QDateTime(QDate(2026, 12, 9), QTime(10, 0)));

    double secondsSinceMidnight() override;
    QDateTime now() override;
    double monotonicSeconds() override { return now_; }
    void processEvents() override;
    void waitForEvents(double maxSeconds) override;
    void sleepUntil(double deadline) override;
    int startTimer(int intervalMs, std::function<void()> callback) override;
    void stopTimer(int handle) override;
    void post(std::function<void()> action) override;

    // Schedules `action` at virtual second `seconds` (measured from the clock's start).
    void at(double seconds, std::function<void()> action);
    // Moves time forward, running what falls due.
    void advance(double seconds);
    // Number of actions still scheduled (timers included).
    int pending() const { return static_cast<int>(queue_.size()); }
    // Number of event-processing calls made so far; a test can tell a busy loop from a wait.
    long long eventRounds() const { return rounds_; }

private:
    struct Entry {
        std::function<void()> action;
        int timerHandle = 0;  // non-zero for a timer tick
    };
    bool runDue();
    void schedule(double when, Entry entry);

    QDateTime start_;
    double now_ = 0;
    std::multimap<double, Entry> queue_;
    std::map<int, int> timerIntervals_;  // handle -> ms
    std::map<int, std::function<void()>> timerCallbacks_;
    int nextHandle_ = 1;
    long long rounds_ = 0;
    long long stalledRounds_ = 0;  // rounds since the time last moved
    double lastRoundAt_ = -1;
};
