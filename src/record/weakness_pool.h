#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

#include "record/record_store.h"

// The character pool of "Schwächen üben": the characters of the record, each repeated by a
// weight that grows with its error rate and its reaction time, so that the ordinary group
// drawing (which draws by position) brings the weak ones more often. A character heard in place
// of another comes up as often as the one it was confused with.

// Fewer answers and checked characters than this over the last 30 days are not enough.
inline constexpr int kWeaknessMinEntries = 50;
inline constexpr int kWeaknessDays = 30;

// Weight of one character (1 for a character always right at average speed, at most 10).
double CharacterWeight(const CharacterFigures& figures, double overallMeanReactionMs);

// The weighted pool; empty when no figure names a character that can be sent.
QString WeightedPool(const std::vector<CharacterFigures>& figures,
                     const std::vector<Confusion>& confusions);

struct WeaknessChoice {
    QString pool;     // empty when the record is not enough
    int entries = 0;  // answers and checked characters in the period
};

WeaknessChoice ChooseWeaknessPool(RecordStore& store, const QString& learner, const QDateTime& now);
