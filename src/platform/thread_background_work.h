#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/background_work.h"

// The program's background work: one thread of its own; the results come back through Qt's
// event loop of the application.
class ThreadBackgroundWork : public BackgroundWork {
public:
    ThreadBackgroundWork();
    // Finishes the work already given, then ends the thread; results not yet delivered are
    // dropped.
    ~ThreadBackgroundWork() override;

    void run(std::function<void()> work, std::function<void()> done) override;

private:
    void loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<std::function<void()>, std::function<void()>>> queue_;
    bool stopping_ = false;
    std::thread thread_;
};
