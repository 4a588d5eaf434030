#pragma once

#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/record_sink.h"
#include "record/record_store.h"

// The record sink of the program: entries are queued under a short lock and written by a
// worker thread of their own, in one transaction per batch, so that neither a run nor the
// drill ever waits for the disk. A write that fails (another trainer holds the lock) is tried
// again a few times before its entries are given up and counted.
class RecordWriter : public RecordSink {
public:
    RecordWriter(const QString& path, const QString& learner);
    // Writes what is still queued, then ends the worker.
    ~RecordWriter() override;

    // The learner new entries belong to; window thread only.
    void setLearner(const QString& learner) { learner_ = learner; }
    QString learner() const { return learner_; }
    QString path() const { return path_; }

    void answer(const DrillAnswer& entry) override;
    void run(const RunSummary& entry) override;
    void copy(const CheckedCopy& entry) override;
    void contest(const ContestAttemptEntry& entry) override;

    // Waits until everything queued so far is written (before reading the record back).
    void flush();
    // Entries given up because the database could not take them.
    int lost();

private:
    void work();

    const QString path_;
    QString learner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    RecordBatch queue_;
    bool writing_ = false;
    bool stopping_ = false;
    int lost_ = 0;
    std::thread worker_;
};
