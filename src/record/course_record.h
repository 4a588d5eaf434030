#pragma once

#include <QDateTime>
#include <QString>
#include <map>
#include <optional>
#include <vector>

class RecordStore;

// The course part of the learner's record: where each learner stands in which course, every
// checked practice round of a course lesson with its figures per character, and each advance
// to the next lesson.

struct CharacterTally {
    int attempts = 0;  // times the character was sent
    int right = 0;     // times it was copied right
    double share() const { return attempts > 0 ? static_cast<double>(right) / attempts : 0; }
};

struct CoursePlace {
    QString course;          // the course's id ("darc", "koch", "eigen")
    int lesson = 1;          // 1-based
    int spacingTenths = 15;  // the learner's character spacing in the course, tenths
};

// One checked practice round. Checking the same run again replaces it (same runKey).
struct CourseRound {
    qint64 runKey = 0;  // the run it belongs to: its start on the clock (ms since the epoch)
    QDateTime at;       // when it was checked
    QString course;
    int lesson = 0;
    int attempts = 0;  // compared characters, extra ones included
    int right = 0;
    int spacingTenths = 10;
    double speedCpm = 0;
    std::map<QString, CharacterTally> characters;  // by sent character, upper case
    double share() const { return attempts > 0 ? static_cast<double>(right) / attempts : 0; }
};

struct CourseAdvance {
    QDateTime at;
    QString course;
    int fromLesson = 0;
    int toLesson = 0;
    QString newCharacters;
    int attempts = 0;  // the figures the gate passed on
    int right = 0;
    int rounds = 0;
    int spacingTenths = 10;  // the spacing after the advance
    double share() const { return attempts > 0 ? static_cast<double>(right) / attempts : 0; }
};

// The statements that add the course tables to a record (one step of the store's schema).
const std::vector<const char*>& CourseSchema();

// Reads and writes the course tables through an open store, on the store's thread.
class CourseRecord {
public:
    explicit CourseRecord(RecordStore& store) : store_(store) {}

    std::optional<CoursePlace> place(const QString& learner);
    bool setPlace(const QString& learner, const CoursePlace& place, const QDateTime& at);
    // Stores a round; a round of the same learner and run is replaced, not added.
    bool saveRound(const QString& learner, const CourseRound& round);
    // Rounds of one lesson, newest first; `limit` <= 0 for all. Lesson 0: every lesson, oldest
    // first.
    std::vector<CourseRound> rounds(const QString& learner, const QString& course, int lesson,
                                    int limit);
    // Records an advance and the learner's new place in one transaction.
    bool advance(const QString& learner, const CourseAdvance& advance, const CoursePlace& place);
    std::vector<CourseAdvance> advances(const QString& learner, const QString& course);

    QString error() const { return error_; }

private:
    RecordStore& store_;
    QString error_;
};
