// The program's end while another program holds the learner's record locked: how long the
// writer keeps the exit waiting for its last entries, when the lock came before the trainer
// opened the record and when it came while the trainer was writing.

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "record/record_database.h"
#include "record/record_writer.h"

namespace {
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

DrillAnswer sample() {
    DrillAnswer a;
    a.at = QDateTime::currentDateTime();
    a.asked = QStringLiteral("K");
    a.typed = QStringLiteral("K");
    a.right = true;
    a.reactionMs = 500;
    return a;
}

// Another program holding the file locked against readers and writers until it is destroyed.
class Lock {
public:
    explicit Lock(const QString& path) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
        db_.setDatabaseName(path);
        db_.open();
        QSqlQuery q(db_);
        q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        q.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~Lock() {
        QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("lock"));
    }

private:
    QSqlDatabase db_;
};
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (const bool lockedFirst : {true, false}) {
        double worst = 0, total = 0;
        constexpr int kRounds = 5;
        for (int round = 0; round < kRounds; ++round) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
            PrepareRecordDatabase(path, QDate::currentDate());
            std::unique_ptr<Lock> lock;
            if (lockedFirst) lock = std::make_unique<Lock>(path);
            auto writer = std::make_unique<RecordWriter>(path, QStringLiteral("bench"));
            writer->answer(sample());
            if (!lockedFirst) {
                writer->flush();
                lock = std::make_unique<Lock>(path);
                writer->answer(sample());
            }
            // The learner ends the program a moment after the last answer.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const auto start = Clock::now();
            writer.reset();
            const double ms = msSince(start);
            worst = std::max(worst, ms);
            total += ms;
        }
        std::printf("exit with the record locked %s: mean %.0f ms, worst %.0f ms (%d rounds)\n",
                    lockedFirst ? "before the trainer started" : "while the trainer wrote",
                    total / kRounds, worst, kRounds);
    }
    return 0;
}
