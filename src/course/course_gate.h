#pragma once

#include <QString>
#include <vector>

#include "record/copy_alignment.h"
#include "record/course_record.h"

// When a learner may move on: over the recent checked rounds of the lesson, the whole copy is
// at least 90 % right on at least 100 characters, and every character of the lesson on its own
// is at least 90 % right on at least 20 occurrences, so that a newest character that is never
// copied cannot hide behind the others.

inline constexpr int kPassMinCharacters = 100;
inline constexpr int kPassMinOccurrences = 20;
// The rounds the gate looks at: the latest of the lesson.
inline constexpr int kGateRounds = 3;
// Rounds under this share, this many in a row, make the trainer suggest the lesson before.
inline constexpr double kStrugglingShare = 0.70;
inline constexpr int kStrugglingRounds = 3;

// The figures of one check: every compared pair counts for the whole copy; each sent
// character counts for itself (upper case).
CourseRound RoundOfCheck(const std::vector<AlignedPair>& pairs);

struct Mastery {
    QString character;
    CharacterTally tally;
    bool sits = false;  // enough occurrences, and right often enough
};

struct GateVerdict {
    bool passed = false;
    CharacterTally whole;          // all compared characters of the rounds
    std::vector<Mastery> mastery;  // each character of the lesson, in course order
    int rounds = 0;                // rounds looked at
};

// Judges the lesson whose characters are `characters` on `recent` (the latest rounds of the
// lesson, newest first; only the first kGateRounds count).
GateVerdict JudgeLesson(const QString& characters, const std::vector<CourseRound>& recent);

// True when the latest kStrugglingRounds rounds (newest first) were all under 70 %.
bool Struggling(const std::vector<CourseRound>& recent);
