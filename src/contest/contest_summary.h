#pragma once

#include <QString>

#include "platform/record_sink.h"

// The summary of one attempt as plain text: date, score, speeds, whether it counts for the best
// list, then one line per call (sent, typed, speed, points, repeated, wrong characters, times).
QString ContestSummaryText(const ContestAttemptEntry& attempt, const QString& learner);

// The verdict on one call in words, as the window shows it and a screen reader reads it.
QString DescribeContestCall(const ContestCallEntry& call, int nextBpm);

// Writes `text` (UTF-8) to `path` whole or not at all; returns a German message on failure,
// empty on success.
QString SaveContestSummary(const QString& path, const QString& text);
