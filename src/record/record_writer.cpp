#include "record/record_writer.h"

#include <chrono>
#include <memory>

namespace {
constexpr int kRetries = 5;
constexpr auto kRetryPause = std::chrono::milliseconds(300);

int entryCount(const RecordBatch& batch) {
    return static_cast<int>(batch.answers.size() + batch.runs.size() + batch.copies.size() +
                            batch.contests.size() + batch.sendings.size());
}
}  // namespace

RecordWriter::RecordWriter(const QString& path, const QString& learner)
    : path_(path), learner_(learner), worker_([this] { work(); }) {}

RecordWriter::~RecordWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

void RecordWriter::setTroubleHandler(std::function<void(const QString&)> handler) {
    std::lock_guard lock(mutex_);
    trouble_ = std::move(handler);
}

void RecordWriter::answer(const DrillAnswer& entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.answers.emplace_back(learner_, entry);
    }
    wake_.notify_all();
}

void RecordWriter::run(const RunSummary& entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.runs.emplace_back(learner_, entry);
    }
    wake_.notify_all();
}

void RecordWriter::copy(const CheckedCopy& entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.copies.emplace_back(learner_, entry);
    }
    wake_.notify_all();
}

void RecordWriter::contest(const ContestAttemptEntry& entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.contests.emplace_back(learner_, entry);
    }
    wake_.notify_one();
}

void RecordWriter::sending(const SendingAttemptEntry& entry) {
    {
        std::lock_guard lock(mutex_);
        queue_.sendings.emplace_back(learner_, entry);
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

bool RecordWriter::mayTry() {
    std::lock_guard lock(mutex_);
    if (!stopping_) return true;
    return attemptsLeftAtExit_-- > 0;
}

void RecordWriter::work() {
    // The connection belongs to this thread; one that could not open (the file locked at that
    // moment) is opened again for the next batch.
    auto store = std::make_unique<RecordStore>(path_, kBusyTimeoutMs);
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) break;
        RecordBatch batch;
        std::swap(batch, queue_);
        writing_ = true;
        lock.unlock();
        bool ok = false;
        for (int attempt = 0; !ok && attempt <= kRetries && mayTry(); ++attempt) {
            if (attempt > 0) {
                // The pause ends early when the program ends.
                std::unique_lock pause(mutex_);
                wake_.wait_for(pause, kRetryPause, [this] { return stopping_; });
            }
            if (!store->isOpen()) store = std::make_unique<RecordStore>(path_, kBusyTimeoutMs);
            ok = store->isOpen() && store->write(batch);
        }
        std::function<void(const QString&)> tell;
        if (!ok) {
            qWarning("learner's record: entries not written: %s", qPrintable(store->error()));
            if (!told_) {
                told_ = true;
                std::lock_guard guard(mutex_);
                tell = trouble_;
            }
        }
        if (tell) {
            tell(QStringLiteral("Der Lernstand lässt sich gerade nicht schreiben (%1). Die "
                                "Datei bleibt, wie sie ist; vorerst wird nichts aufgezeichnet, "
                                "alles andere geht weiter.")
                     .arg(store->error()));
        }
        lock.lock();
        if (!ok) lost_ += entryCount(batch);
        writing_ = false;
        written_.notify_all();
    }
    writing_ = false;
    written_.notify_all();
}
