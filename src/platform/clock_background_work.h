#pragma once

#include "platform/background_work.h"

class Clock;

// Background work for tests and offline runs: the work runs at once, and its result arrives
// `workSeconds` later on the given clock, from its event processing, as a slow query's would.
class ClockBackgroundWork : public BackgroundWork {
public:
    explicit ClockBackgroundWork(Clock& clock, double workSeconds = 0)
        : clock_(clock), workSeconds_(workSeconds) {}

    void setWorkSeconds(double seconds) { workSeconds_ = seconds; }
    // Work items given so far.
    int started() const { return started_; }

    void run(std::function<void()> work, std::function<void()> done) override;

private:
    Clock& clock_;
    double workSeconds_;
    int started_ = 0;
};
