#pragma once

#include <QString>
#include <vector>

#include "record/copy_alignment.h"
#include "sending/fist_decoder.h"

// The read characters as one text for the copy check: each sign one character, a pattern that
// is no sign U+FFFD, so that it costs one error like any wrong character.
QString CheckedText(const std::vector<DecodedSign>& signs);

// Compares what the learner was to send with what was read, by the copy check's alignment.
// Characters that share a pattern count as the one the decoder reads ("(" for ")"), and "\"
// as "/", which the trainer sends for it.
CopyCheckResult CheckSending(const QString& intended, const std::vector<DecodedSign>& signs);
