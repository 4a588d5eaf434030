#include "support/run_helpers.h"

#include "engine/morse_table.h"

double ExpectedSendingSeconds(const QString& text) {
    const SharedState& s = S();
    double ms = 0;
    double wordGaps = 0;
    for (QChar c : text) {
        if (c == u' ') {
            wordGaps += s.WordGap;
            continue;
        }
        const int index = MorseIndex(c);
        if (index < 0) continue;
        for (QChar symbol : s.MorseTable[index]) ms += (symbol == u'-' ? s.DashMs : s.DotMs) + s.DotMs;
        ms += s.CharGap + s.DotMs;
    }
    return ms / 1000.0 + wordGaps;
}
