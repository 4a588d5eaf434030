#pragma once

#include <QString>

#include "platform/record_sink.h"

// Hands entries of the learner's record to the installed record sink, with the time and the
// settings they were made with. Each call returns at once; without a sink it does nothing.

// The settings now in force: speed, spacing, pitch and the ticked training effects.
RecordSettings CurrentRecordSettings();

// An answer of the drill; the reaction time runs from the moment the last element of the
// character just sounded reached the listener (its place on the device's timeline plus the
// device's latency) to now.
void RecordDrillAnswer(const QString& asked, const QString& typed, bool right);

// A run has begun its text (the preamble is over).
void RecordRunStart();
// The run that has just ended: completed (after the statistics) or stopped. Only the first end
// after a start is recorded.
void RecordRunEnd(bool completed);

// The aligned pairs of a checked copy of the last run's text; it replaces an earlier check of
// the same run.
void RecordCopyCheck(const std::vector<CopyPair>& pairs);
