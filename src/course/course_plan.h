#pragma once

#include <QString>

#include "course/course.h"
#include "record/course_record.h"

// What today's practice of a course lesson looks like: the characters, how often the newest
// come up, how long the round is, at what speed and spacing.

// The newest characters of a lesson together make 1 in 5 of the text at first (when their
// plain share is smaller), falling evenly to their plain share over this many rounds.
inline constexpr double kNewestStartShare = 0.2;
inline constexpr int kNewestBoostRounds = 5;

// Spacing of a learner starting a course (tenths of the normal character spacing), the step it
// narrows by on a lesson passed with 95 % or more, and the extra a lesson's first rounds get.
inline constexpr int kStartSpacingTenths = 15;
inline constexpr int kSpacingStepTenths = 1;
inline constexpr int kNarrowingRightPercent = 95;
inline constexpr int kNewLessonExtraTenths = 3;
inline constexpr int kNewLessonRounds = 2;

// A round gives every character about this many occurrences, and at least this many
// characters in all, so that the gate can be reached within a few rounds.
inline constexpr int kOccurrencesPerRound = 25;
inline constexpr int kMinRoundCharacters = 125;

// The share the newest characters (together) are meant to have in round `roundsDone` + 1 of a
// lesson with `newest` new among `total` characters.
double NewestShare(int newest, int total, int roundsDone);

// The character pool of the round: each character repeated by its weight, so that the random
// group drawing (by position, never the same character twice in a row) gives the newest ones
// `NewestShare` of the text.
QString LessonPool(const QString& characters, const QString& newest, int roundsDone);

// Groups of five in a round of a lesson with `characterCount` characters.
int RoundGroups(int characterCount);

// The spacing of a round: the learner's, widened in a lesson's first rounds.
int RoundSpacingTenths(int learnerSpacingTenths, int roundsDone);
// The learner's spacing after passing a lesson with `rightPercent` % (rounded down).
int SpacingAfterPass(int spacingTenths, int rightPercent);

struct TodayPlan {
    int lesson = 1;
    QString characters;  // all of the lesson
    QString newest;      // what the lesson adds
    QString pool;        // weighted
    int groups = 0;
    int speedCpm = 0;
    int charSpacingTenths = 10;
    int roundsDone = 0;  // checked rounds of this lesson before today's
};

// Today's round for a learner at `place` who has done `roundsDone` checked rounds of the
// lesson.
TodayPlan PlanToday(const Course& course, const CoursePlace& place, int roundsDone);
