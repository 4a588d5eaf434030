#pragma once

#include <QString>

// Sends GroupCount groups of characters drawn from ExerciseText (kind "Z": letters with one
// group of digits), framed by the preamble and the statistics.
void SendGroups();

// Picks the next character from `pool` under the drawing rules: never the previous character
// again (compared in capitals) and, for kind "Z", digits in the digit group and letters
// elsewhere. A rule the pool cannot satisfy is relaxed rather than drawn against for ever.
// Returns an empty string for an empty pool.
QString DrawGroupCharacter(const QString& pool, const QString& previous, bool kindZ,
                           bool digitGroup);
