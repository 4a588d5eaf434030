#include "platform/thread_background_work.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

ThreadBackgroundWork::ThreadBackgroundWork() : thread_([this] { loop(); }) {}

ThreadBackgroundWork::~ThreadBackgroundWork() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void ThreadBackgroundWork::run(std::function<void()> work, std::function<void()> done) {
    {
        std::lock_guard lock(mutex_);
        queue_.emplace_back(std::move(work), std::move(done));
    }
    wake_.notify_one();
}

void ThreadBackgroundWork::loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;
        auto [work, done] = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        if (work) work();
        if (done) {
            if (QCoreApplication* app = QCoreApplication::instance())
                QMetaObject::invokeMethod(app, std::move(done), Qt::QueuedConnection);
        }
        lock.lock();
    }
}
