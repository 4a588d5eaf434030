#pragma once

#include <QString>

#include "record/copy_alignment.h"

// The rules of the call-sign contest: speeds in letters per minute (BpM, five times the words
// per minute), points per call as the open contest programs count them.

inline constexpr int kContestCalls = 50;
inline constexpr int kContestStepBpm = 10;
inline constexpr int kContestFloorBpm = 20;
inline constexpr int kContestHighestBpm = 1000;

// Points of one call sent at `speedBpm` with `length` characters: 2 × length × speed when it was
// copied right; that divided by 5 × the number of wrong characters for one to three wrong ones
// (whole points, rounded down); nothing for four or more. A repeated call scores half (rounded
// down).
int ContestPoints(int length, int speedBpm, int wrongCharacters, bool repeated);

// The speed of the next call: up one step after a right call, down one after a wrong one, never
// below the floor nor above the highest speed.
int NextContestSpeed(int speedBpm, bool right);

// The dot length (ms) of a speed in BpM: 1200 / WPM with WPM = BpM / 5.
double ContestDotMs(int speedBpm);

struct ScoredCall {
    CopyCheckResult alignment;
    int wrong = 0;  // wrong, missed and extra characters
    int points = 0;
    bool right() const { return wrong == 0; }
};

// Compares the typed call with the sent one as the copy check does (case and blanks do not
// count) and scores it.
ScoredCall ScoreContestCall(const QString& sent, const QString& typed, int speedBpm, bool repeated);
