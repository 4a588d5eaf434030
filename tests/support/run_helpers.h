#pragma once

#include "state/shared_state.h"

#include <QString>

// Seconds that sending `text` takes with the current timing: every element followed by a dot,
// the character gap and one more dot, and a word gap for every blank.
double ExpectedSendingSeconds(const QString& text);
