#include "platform/deadline_worker.h"

#include <chrono>

int64_t MonotonicMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

DeadlineWorker::DeadlineWorker(Step step) : step_(std::move(step)), thread_([this] { run(); }) {}

DeadlineWorker::~DeadlineWorker() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_one();
    thread_.join();
}

void DeadlineWorker::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_one();
}

void DeadlineWorker::run() {
    std::optional<int64_t> deadline;
    std::unique_lock lock(mutex_);
    while (!quit_) {
        const auto due = [&] { return woken_ || quit_; };
        if (deadline) {
            const std::chrono::steady_clock::time_point at{std::chrono::microseconds(*deadline)};
            changed_.wait_until(lock, at, due);
        } else {
            changed_.wait(lock, due);
        }
        if (quit_) break;
        woken_ = false;
        lock.unlock();
        deadline = step_(MonotonicMicros());
        lock.lock();
    }
}
