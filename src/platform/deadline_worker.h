#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

// The monotonic clock in microseconds, the time base of contact events. Its zero is arbitrary;
// only differences mean something.
int64_t MonotonicMicros();

// A thread that runs `step(nowUs)` each time it is woken and when the deadline the last step
// returned has come, on the monotonic clock (never a window timer). The step runs on this
// thread only; it returns the next deadline [µs], or nothing to sleep until woken.
class DeadlineWorker {
public:
    using Step = std::function<std::optional<int64_t>(int64_t nowUs)>;
    explicit DeadlineWorker(Step step);
    ~DeadlineWorker();
    DeadlineWorker(const DeadlineWorker&) = delete;
    DeadlineWorker& operator=(const DeadlineWorker&) = delete;

    // Runs the step soon; callable from any thread.
    void wake();

private:
    void run();

    Step step_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_ = false;
    bool quit_ = false;
    std::thread thread_;
};
