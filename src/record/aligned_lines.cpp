#include "record/aligned_lines.h"

#include <algorithm>
#include <set>

namespace {
// The blanks of the sent text: after how many counted characters a group ends. Counted are
// the characters the alignment compares (no blanks, no control characters).
std::set<int> groupEnds(const QString& sentText) {
    std::set<int> ends;
    int counted = 0;
    for (const QChar c : sentText) {
        if (c.isSpace()) {
            if (counted > 0) ends.insert(counted);
        } else if (c.category() != QChar::Other_Control) {
            ++counted;
        }
    }
    return ends;
}

AlignedColumn column(const AlignedPair& p) {
    switch (p.kind) {
        case AlignedPair::Kind::Right:
            return {AlignedColumn::Kind::Right, p.sent, p.copied};
        case AlignedPair::Kind::Wrong:
            return {AlignedColumn::Kind::Wrong, p.sent, p.copied};
        case AlignedPair::Kind::Missed:
            return {AlignedColumn::Kind::Missed, p.sent, kGap};
        case AlignedPair::Kind::Extra:
            return {AlignedColumn::Kind::Extra, kGap, p.copied};
    }
    return {};
}
}  // namespace

std::vector<AlignedRow> AlignedRows(const CopyCheckResult& result, const QString& sentText,
                                    int width) {
    const std::set<int> ends = groupEnds(sentText);
    AlignedRow columns;
    int sentSoFar = 0;
    for (const AlignedPair& p : result.pairs) {
        // The blank goes before the next sent character, so that a character typed after a
        // group's last one stays in that group.
        if (!p.sent.isNull() && ends.count(sentSoFar)) {
            if (!columns.empty() && columns.back().kind != AlignedColumn::Kind::Blank)
                columns.push_back({AlignedColumn::Kind::Blank, u' ', u' '});
        }
        if (!p.sent.isNull()) ++sentSoFar;
        columns.push_back(column(p));
    }

    std::vector<AlignedRow> rows;
    const size_t limit = static_cast<size_t>(std::max(1, width));
    size_t start = 0;
    while (start < columns.size()) {
        size_t end = std::min(columns.size(), start + limit);
        if (end < columns.size() && columns[end].kind != AlignedColumn::Kind::Blank) {
            // Break after the last whole group that fits.
            for (size_t i = end; i > start; --i) {
                if (columns[i - 1].kind == AlignedColumn::Kind::Blank) {
                    end = i - 1;
                    break;
                }
            }
        }
        rows.emplace_back(columns.begin() + static_cast<std::ptrdiff_t>(start),
                          columns.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
        // A row does not begin with the blank it was broken at.
        while (start < columns.size() && columns[start].kind == AlignedColumn::Kind::Blank) ++start;
    }
    return rows;
}

QString SentLine(const AlignedRow& row) {
    QString line;
    for (const AlignedColumn& c : row) line += c.sent;
    return line;
}

QString CopyLine(const AlignedRow& row) {
    QString line;
    for (const AlignedColumn& c : row) line += c.copied;
    return line;
}
