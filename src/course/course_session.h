#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

#include "course/course.h"
#include "course/course_gate.h"
#include "course/course_plan.h"
#include "exercises/exercise_menu.h"
#include "record/copy_alignment.h"
#include "record/course_record.h"

class RecordStore;

// "Heute üben" and what follows it: today's round of the learner's lesson set up as a group
// exercise (kind "K"), its copy check counted for the course, the gate judged and the learner
// moved on. Everything reads and writes the record through the store it is given, on the
// window thread while no sound plays.

struct CourseChoice {
    Course course;    // invalid when it cannot be used
    QString problem;  // German
};
// The course with `id`; the own course is read from its file each time.
CourseChoice CourseById(const QString& id);

// Where `learner` stands; a learner without a place starts the DARC course at lesson 1.
CoursePlace PlaceOf(CourseRecord& record, const QString& learner);

// The round started by "Heute üben", waiting for its copy check.
struct CourseRun {
    QString learner;
    QString course;
    int lesson = 0;
    qint64 runKey = 0;
    int spacingTenths = 10;
    int speedCpm = 0;
    QString sentText;  // the text of the run once it has ended
    bool active() const { return runKey != 0; }
};

struct TodaySetup {
    bool ready = false;
    QString problem;  // German, when not ready
    Course course;
    TodayPlan plan;
    CourseRun run;
};

// Sets today's round as the current exercise: pool, kind, speed, spacing and number of groups
// through the window's own controls. The caller starts the run.
TodaySetup PrepareToday(RecordStore& store, const QString& learner, const QDateTime& now);

struct CheckOutcome {
    bool counted = false;   // the check was of the course run and is in the record
    bool advanced = false;  // the learner moved on
    bool finished = false;  // the last lesson of the course is passed
    bool suggestBack = false;
    GateVerdict verdict;
    QString newCharacters;  // of the lesson moved to
    QString message;        // German, for the learner; empty when there is nothing to say
};

// Counts a copy check for the course when it checked the text of `run`; a second check of the
// same run replaces the first. Judges the gate and moves the learner on when it is passed.
CheckOutcome CountCheck(RecordStore& store, const CourseRun& run,
                        const std::vector<AlignedPair>& pairs, const QDateTime& now);

// Sends each of `characters` once and speaks it, outside any run; the last run's text stays as
// it was, so that its copy can still be checked.
void PlayNewCharacters(const QString& characters);

// Puts the learner on `lesson` of `courseId` by hand (clamped to the course), keeping their
// spacing. False with a German message in `problem` when it cannot.
bool ChooseLesson(RecordStore& store, const QString& learner, const QString& courseId, int lesson,
                  const QDateTime& now, QString& problem);

// Everything "Lernstand" shows of the course.
struct CourseOverview {
    Course course;
    QString problem;  // German, when the learner's course cannot be read
    CoursePlace place;
    GateVerdict verdict;              // the current lesson over its latest rounds
    std::vector<CourseRound> rounds;  // every round of the course, oldest first
    std::vector<CourseAdvance> advances;
    int roundsInLesson = 0;
};
CourseOverview OverviewOf(RecordStore& store, const QString& learner);
