#pragma once

#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/record_sink.h"
#include "record/record_store.h"

// The record sink of the program: entries are queued under a short lock and written by a
// worker thread of their own, in one transaction per batch, so that neither a run nor the
// drill ever waits for the disk. A write that fails (another program holds the lock) is tried
// again a few times before its entries are given up and counted; the first loss is told once.
// At the end the worker makes at most a short last attempt, so that a record that stays locked
// never holds up the program's exit for long.
class RecordWriter : public RecordSink {
public:
    RecordWriter(const QString& path, const QString& learner);
    // Writes what is still queued (within the exit budget), then ends the worker.
    ~RecordWriter() override;

    // The learner new entries belong to; window thread only.
    void setLearner(const QString& learner) { learner_ = learner; }
    QString learner() const { return learner_; }
    QString path() const { return path_; }

    // Called once, on the writer's thread, with a German message when entries are lost for the
    // first time; the caller hands it to the window thread.
    void setTroubleHandler(std::function<void(const QString&)> handler);

    void answer(const DrillAnswer& entry) override;
    void run(const RunSummary& entry) override;
    void copy(const CheckedCopy& entry) override;
    void contest(const ContestAttemptEntry& entry) override;
    void sending(const SendingAttemptEntry& entry) override;

    // Waits until everything queued so far is written (before reading the record back).
    void flush();
    // Entries given up because the database could not take them.
    int lost();

    // How long one attempt waits for another program's lock [ms], and how many attempts the
    // exit allows after the last entry was queued.
    static constexpr int kBusyTimeoutMs = 400;
    static constexpr int kAttemptsAtExit = 1;

private:
    void work();
    bool mayTry();

    const QString path_;
    QString learner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    RecordBatch queue_;
    bool writing_ = false;
    bool stopping_ = false;
    int attemptsLeftAtExit_ = kAttemptsAtExit;
    int lost_ = 0;
    std::function<void(const QString&)> trouble_;
    bool told_ = false;
    std::thread worker_;
};
