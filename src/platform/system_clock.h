#pragma once

#include "platform/clock.h"

#include <QElapsedTimer>
#include <QHash>

class QTimer;

// The real clock: the local time of day and Qt's event loop.
class SystemClock : public Clock {
public:
    SystemClock();
    ~SystemClock() override;

    double secondsSinceMidnight() override;
    QDateTime now() override;
    double monotonicSeconds() override;
    void processEvents() override;
    void waitForEvents(double maxSeconds) override;
    void sleepUntil(double deadline) override;
    int startTimer(int intervalMs, std::function<void()> callback) override;
    void stopTimer(int handle) override;
    void post(std::function<void()> action) override;

private:
    QElapsedTimer monotonic_;
    QHash<int, QTimer*> timers_;
    int nextHandle_ = 1;
};
