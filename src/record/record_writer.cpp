#include "record/record_writer.h"

#include <chrono>

namespace {
constexpr int kRetries = 5;
constexpr auto kRetryPause = std::chrono::milliseconds(300);

int entryCount(const RecordBatch& batch) {
    return static_cast<int>(batch.answers.size() + batch.runs.size() + batch.copies.size() +
                            batch.contests.size());
}
}  // namespace

RecordWriter::RecordWriter(const QString& path, const QString& learner)
    : path_(path), learner_(learner), worker_([this] { work(); }) {}

RecordWriter::~RecordWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void RecordWriter::answer(const DrillAnswer& entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.answers.emplace_back(learner_, entry);
    }
    wake_.notify_one();
}

void RecordWriter::run(const RunSummary& entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.runs.emplace_back(learner_, entry);
    }
    wake_.notify_one();
}

void RecordWriter::copy(const CheckedCopy& entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.copies.emplace_back(learner_, entry);
    }
    wake_.notify_one();
}

void RecordWriter::contest(const ContestAttemptEntry& entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.contests.emplace_back(learner_, entry);
    }
    wake_.notify_one();
}

void RecordWriter::flush() {
    std::unique_lock lock(mutex_);
    written_.wait(lock, [this] { return queue_.empty() && !writing_; });
}

int RecordWriter::lost() {
    std::lock_guard lock(mutex_);
    return lost_;
}

void RecordWriter::work() {
    // The connection belongs to this thread.
    RecordStore store(path_);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) break;
        RecordBatch batch;
        std::swap(batch, queue_);
        writing_ = true;
        lock.unlock();
        bool ok = store.isOpen() && store.write(batch);
        for (int attempt = 0; !ok && store.isOpen() && attempt < kRetries; ++attempt) {
            std::this_thread::sleep_for(kRetryPause);
            ok = store.write(batch);
        }
        if (!ok) qWarning("learner's record: entries not written: %s", qPrintable(store.error()));
        lock.lock();
        if (!ok) lost_ += entryCount(batch);
        writing_ = false;
        written_.notify_all();
    }
    writing_ = false;
    written_.notify_all();
}
