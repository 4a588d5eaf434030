#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/record_sink.h"

// Entries on their way to the database, each with the learner it belongs to.
struct RecordBatch {
    std::vector<std::pair<QString, DrillAnswer>> answers;
    std::vector<std::pair<QString, RunSummary>> runs;
    std::vector<std::pair<QString, CheckedCopy>> copies;
    bool empty() const { return answers.empty() && runs.empty() && copies.empty(); }
};

// Figures of one character over a period: drill answers and checked copy characters together.
struct CharacterFigures {
    QString character;
    int attempts = 0;
    int right = 0;
    double meanReactionMs = 0;  // right drill answers only; 0 when there is none
    int reactionCount = 0;
    double accuracy() const { return attempts > 0 ? static_cast<double>(right) / attempts : 0; }
};

struct DayFigures {
    QDate day;  // local date
    int attempts = 0;
    int right = 0;
    double meanMeasuredCpm = 0;  // runs of that day; 0 without runs
    int runs = 0;
};

struct Confusion {
    QString sent;
    QString heard;
    int count = 0;
};

// The learner's record in SQLite: answers of the drill, runs and checked copies, each with its
// time (ms since the epoch, UTC), learner and settings. One connection, used from the thread
// that opened it. Every value reaches SQL as a bound parameter.
class RecordStore {
public:
    // The version of the schema this program writes; older files are migrated forward.
    static constexpr int kSchemaVersion = 3;

    // Opens `path` (":memory:" for a database in memory) with a short busy timeout, creating or
    // migrating the schema. isOpen() tells whether it worked; error() says why not.
    explicit RecordStore(const QString& path);
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    bool isOpen() const { return open_; }
    QString error() const { return error_; }
    // True when the file is not a database or fails SQLite's integrity check.
    bool damaged() const { return damaged_; }

    // Writes all entries of `batch` in one transaction; false (and nothing written) on failure.
    bool write(const RecordBatch& batch);

    QStringList learners();
    // Answers plus checked characters of `learner` since `since`.
    int entryCount(const QString& learner, const QDateTime& since);
    std::vector<CharacterFigures> characterFigures(const QString& learner, const QDateTime& since);
    std::vector<DayFigures> dayFigures(const QString& learner, const QDateTime& since);
    std::vector<Confusion> confusions(const QString& learner, const QDateTime& since, int limit);
    // Every entry of `learner`, oldest first (the export to a spreadsheet).
    std::vector<DrillAnswer> answers(const QString& learner);
    std::vector<RunSummary> runs(const QString& learner);
    std::vector<CheckedCopy> checkedCopies(const QString& learner);

    QSqlDatabase& database() { return db_; }

private:
    bool prepareSchema();
    bool readVersion(int& version);
    bool exec(const QString& sql);

    QString connection_;
    QSqlDatabase db_;
    bool open_ = false;
    bool damaged_ = false;
    QString error_;
};
