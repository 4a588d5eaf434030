#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

#include "platform/record_sink.h"
#include "sending/attempt_reader.h"
#include "sending/sending_exercise.h"

// The learner's record of one attempt: texts, aligned pairs, the report's figures, each
// character's timing and every duration as keyed.
SendingAttemptEntry EntryOf(const SendingAttempt& attempt, const SendingVerdict& verdict,
                            SendingMode mode, const QString& intended, const QDateTime& at,
                            double pitchHz);

// Each read character's mean departure from its ideal (marks and the gaps inside it) [%].
std::vector<SendingCharacterTiming> CharacterTimings(const FistReport& report);

// The marks and spaces of stored durations (mark first), one after another from moment 0.
std::vector<KeyedElement> ElementsOfDurations(const std::vector<double>& durationsMs);
