#pragma once

#include <QString>

struct WeaknessChoice;

// "Schwächen üben": makes the weak characters of `learner` the pool of a group exercise (kind
// "W"), so that a run keeps every rule of random groups. The record at `databasePath` is read
// by the installed background work; the choice takes effect when it is there, so that a run
// sounding meanwhile keeps its rhythm.
void PracticeWeaknesses(const QString& databasePath, const QString& learner);

// Takes a choice into the exercise. With too little record the user is told so and the current
// pool stays.
void ApplyWeaknessChoice(const WeaknessChoice& choice);
