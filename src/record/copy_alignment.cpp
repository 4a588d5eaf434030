#include "record/copy_alignment.h"

#include <algorithm>
#include <cstdint>

namespace {
// The characters that count, in capitals, at most kCopyCheckMaxChars of them.
QString significant(const QString& text, bool& truncated) {
    QString out;
    out.reserve(std::min<qsizetype>(text.size(), kCopyCheckMaxChars));
    for (QChar c : text) {
        // Control characters (a pasted NUL, a form feed) are not copied characters; a null
        // QChar also marks the missing side of a pair.
        if (c.isSpace() || c.category() == QChar::Other_Control) continue;
        if (out.size() == kCopyCheckMaxChars) {
            truncated = true;
            break;
        }
        out += c.toUpper();
    }
    return out;
}
}  // namespace

CopyCheckResult AlignCopy(const QString& sentText, const QString& copyText) {
    CopyCheckResult result;
    bool sentCut = false;
    const QString a = significant(sentText, sentCut);
    const QString b = significant(copyText, result.truncated);
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    result.sentCount = n;

    // cost[i][j]: edits that turn a[0..i) into b[0..j); one row of m + 1 per i.
    const int width = m + 1;
    std::vector<uint16_t> cost(static_cast<size_t>(n + 1) * width);
    auto at = [&](int i, int j) -> uint16_t& { return cost[static_cast<size_t>(i) * width + j]; };
    for (int j = 0; j <= m; ++j) at(0, j) = static_cast<uint16_t>(j);
    for (int i = 1; i <= n; ++i) {
        at(i, 0) = static_cast<uint16_t>(i);
        for (int j = 1; j <= m; ++j) {
            const int diagonal = at(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1);
            const int up = at(i - 1, j) + 1;
            const int left = at(i, j - 1) + 1;
            at(i, j) = static_cast<uint16_t>(std::min({diagonal, up, left}));
        }
    }

    // Traceback from the end; a match or substitution is preferred, so a wrong character stays
    // one pair instead of a missed plus an extra one.
    std::vector<AlignedPair> reversed;
    int i = n;
    int j = m;
    while (i > 0 || j > 0) {
        if (i > 0 && j > 0 && at(i, j) == at(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1)) {
            const bool same = a[i - 1] == b[j - 1];
            reversed.push_back(
                {same ? AlignedPair::Kind::Right : AlignedPair::Kind::Wrong, a[i - 1], b[j - 1]});
            --i;
            --j;
        } else if (i > 0 && at(i, j) == at(i - 1, j) + 1) {
            reversed.push_back({AlignedPair::Kind::Missed, a[i - 1], QChar()});
            --i;
        } else {
            reversed.push_back({AlignedPair::Kind::Extra, QChar(), b[j - 1]});
            --j;
        }
    }
    result.pairs.assign(reversed.rbegin(), reversed.rend());
    for (const AlignedPair& p : result.pairs) {
        switch (p.kind) {
            case AlignedPair::Kind::Right:
                ++result.rightCount;
                break;
            case AlignedPair::Kind::Wrong:
                ++result.wrongCount;
                break;
            case AlignedPair::Kind::Missed:
                ++result.missedCount;
                break;
            case AlignedPair::Kind::Extra:
                ++result.extraCount;
                break;
        }
    }
    return result;
}
