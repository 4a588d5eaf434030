#pragma once

#include <QString>
#include <vector>

// Compares a copy (what the learner wrote down) with the sent text. Blanks, control characters
// and case do not count; the two are aligned by edit distance with traceback, so that one missed or
// one extra character costs one error and not every character after it.
struct AlignedPair {
    enum class Kind { Right, Wrong, Missed, Extra };
    Kind kind = Kind::Right;
    QChar sent;    // null for an extra character
    QChar copied;  // null for a missed character
};

struct CopyCheckResult {
    std::vector<AlignedPair> pairs;  // in text order
    int sentCount = 0;               // characters sent (blanks not counted)
    int rightCount = 0;
    int wrongCount = 0;
    int missedCount = 0;
    int extraCount = 0;
    bool truncated = false;  // the copy was cut to kCopyCheckMaxChars
    // Share of correct characters (0..1): right pairs among all pairs, so that extra characters
    // lower it as much as missed ones; 0 when there is nothing to compare.
    double share() const {
        return pairs.empty() ? 0.0 : static_cast<double>(rightCount) / pairs.size();
    }
};

// Longest copy and text compared (characters without blanks); longer input is cut, which keeps
// the alignment table (two bytes a cell) under 18 MB.
inline constexpr int kCopyCheckMaxChars = 3000;

CopyCheckResult AlignCopy(const QString& sent, const QString& copy);
