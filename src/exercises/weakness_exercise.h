#pragma once

#include <QString>

class RecordStore;

// "Schwächen üben": makes the weak characters of `learner` the pool of a group exercise (kind
// "W"), so that a run keeps every rule of random groups. With too little record the user is
// told so and the current pool stays.
void PracticeWeaknesses(RecordStore& store, const QString& learner);
