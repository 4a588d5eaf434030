#include "platform/virtual_clock.h"

#include <QtGlobal>
#include <cmath>

namespace {
// A test whose code waits for ever for an event that nobody scripted would otherwise hang. Only
// rounds in which the time stands still count: a long export moves time in every round.
constexpr long long kMaxStalledRounds = 2'000'000;
}  // namespace

VirtualClock::VirtualClock(QDateTime start) : start_(std::move(start)) {}

double VirtualClock::secondsSinceMidnight() {
    return std::fmod(start_.time().msecsSinceStartOfDay() / 1000.0 + now_, 86400.0);
}

QDateTime VirtualClock::now() { return start_.addMSecs(static_cast<qint64>(now_ * 1000.0)); }

void VirtualClock::schedule(double when, Entry entry) { queue_.emplace(when, std::move(entry)); }

bool VirtualClock::runDue() {
    ++rounds_;
    if (now_ != lastRoundAt_) {
        lastRoundAt_ = now_;
        stalledRounds_ = 0;
    }
    if (++stalledRounds_ > kMaxStalledRounds) qFatal("VirtualClock: endless event loop");
    if (queue_.empty() || queue_.begin()->first > now_) return false;
    auto node = queue_.extract(queue_.begin());
    Entry entry = std::move(node.mapped());
    if (entry.timerHandle != 0) {
        const int handle = entry.timerHandle;
        auto interval = timerIntervals_.find(handle);
        if (interval == timerIntervals_.end()) return true;  // stopped meanwhile
        schedule(node.key() + interval->second / 1000.0, Entry{{}, handle});
        auto callback = timerCallbacks_[handle];
        callback();
    } else {
        entry.action();
    }
    return true;
}

void VirtualClock::processEvents() {
    while (runDue()) {
    }
}

void VirtualClock::waitForEvents(double maxSeconds) {
    if (runDue()) {
        processEvents();
        return;
    }
    const bool limited = maxSeconds >= 0;
    if (queue_.empty()) {
        if (!limited) qFatal("VirtualClock: waiting for an event that nobody scheduled");
        now_ += maxSeconds;
        return;
    }
    const double next = queue_.begin()->first;
    if (limited && now_ + maxSeconds < next) {
        now_ += maxSeconds;
        return;
    }
    now_ = next;
    processEvents();
}

void VirtualClock::sleepUntil(double deadline) {
    if (deadline > now_) now_ = deadline;
}

int VirtualClock::startTimer(int intervalMs, std::function<void()> callback) {
    const int handle = nextHandle_++;
    timerIntervals_[handle] = intervalMs;
    timerCallbacks_[handle] = std::move(callback);
    schedule(now_ + intervalMs / 1000.0, Entry{{}, handle});
    return handle;
}

void VirtualClock::stopTimer(int handle) {
    timerIntervals_.erase(handle);
    timerCallbacks_.erase(handle);
    for (auto it = queue_.begin(); it != queue_.end();) {
        it = it->second.timerHandle == handle ? queue_.erase(it) : std::next(it);
    }
}

void VirtualClock::post(std::function<void()> action) { schedule(now_, Entry{std::move(action)}); }

void VirtualClock::at(double seconds, std::function<void()> action) {
    schedule(seconds, Entry{std::move(action)});
}

void VirtualClock::advance(double seconds) {
    const double deadline = now_ + seconds;
    while (!queue_.empty() && queue_.begin()->first <= deadline) {
        if (queue_.begin()->first > now_) now_ = queue_.begin()->first;
        runDue();
    }
    if (deadline > now_) now_ = deadline;
}
