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
    std::vector<std::pair<QString, ContestAttemptEntry>> contests;
    std::vector<std::pair<QString, SendingAttemptEntry>> sendings;
    bool empty() const {
        return answers.empty() && runs.empty() && copies.empty() && contests.empty() &&
               sendings.empty();
    }
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

// A line of the call-sign contest's best list.
struct ContestBest {
    QDateTime at;
    int score = 0;
    int highestBpm = 0;
};

// How often a character of the contest's calls was sent and how often it was not copied.
struct ContestMisses {
    QString character;
    int sent = 0;
    int missed = 0;  // copied wrong or not at all
};

// Sending practice, per character: how often it was keyed as intended, and how far its timing
// departed from the ideal on average.
struct SendingCharacterFigures {
    QString character;
    int attempts = 0;  // intended characters (free keying has none)
    int right = 0;
    double meanDeparturePercent = 0;  // over every time it was read
    int timed = 0;
    double accuracy() const { return attempts > 0 ? static_cast<double>(right) / attempts : 0; }
};

// Sending practice, per local day.
struct SendingDayFigures {
    QDate day;
    int attempts = 0;
    double meanRegularity = 0;
    double meanCpm = 0;
};

// The learner's record in SQLite: answers of the drill, runs and checked copies, each with its
// time (ms since the epoch, UTC), learner and settings. One connection, used from the thread
// that opened it. Every value reaches SQL as a bound parameter.
class RecordStore {
public:
    // The version of the schema this program writes; older files are migrated forward.
    static constexpr int kSchemaVersion = 6;

    // Opens `path` (":memory:" for a database in memory), creating or migrating the schema. A
    // lock held by another program is waited for at most `busyTimeoutMs`. isOpen() tells
    // whether it worked; error() says why not.
    explicit RecordStore(const QString& path, int busyTimeoutMs = 2000);
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    bool isOpen() const { return open_; }
    QString error() const { return error_; }
    // True when SQLite reports the file as corrupt or not a database, or an opening failed and
    // the integrity check then finds faults; never for a file that is only locked, read-only or
    // unreadable for now.
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

    // The call-sign contest: the best completed attempts that count for the list, best first
    // (the earlier of equal scores first); every attempt since `since`, oldest first, with its
    // calls when `withCalls`; the characters of the calls missed most often.
    std::vector<ContestBest> contestBestList(const QString& learner, int limit);
    std::vector<ContestAttemptEntry> contestAttempts(const QString& learner, const QDateTime& since,
                                                     bool withCalls);
    std::vector<ContestMisses> contestMisses(const QString& learner, const QDateTime& since,
                                             int limit);

    // Sending practice: every attempt since `since`, oldest first, with its pairs, durations and
    // character timings; the figures per character and per day.
    std::vector<SendingAttemptEntry> sendingAttempts(const QString& learner,
                                                     const QDateTime& since);
    std::vector<SendingCharacterFigures> sendingCharacterFigures(const QString& learner,
                                                                 const QDateTime& since);
    std::vector<SendingDayFigures> sendingDayFigures(const QString& learner,
                                                     const QDateTime& since);

    QSqlDatabase& database() { return db_; }

private:
    bool writeContests(const std::vector<std::pair<QString, ContestAttemptEntry>>& contests);
    bool writeSendings(const std::vector<std::pair<QString, SendingAttemptEntry>>& sendings);

    bool prepareSchema();
    // Sets up the schema (journal mode, version, migration); false on the first failure.
    bool readySchema();
    // Runs SQLite's integrity check; marks the file damaged when it fails.
    void checkIntegrity();
    bool readVersion(int& version);
    bool exec(const QString& sql);

    QString connection_;
    QSqlDatabase db_;
    bool open_ = false;
    bool damaged_ = false;
    bool busy_ = false;  // a statement found the file locked by another connection
    QString error_;
};
