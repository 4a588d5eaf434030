#pragma once

#include <QString>
#include <vector>

#include "record/copy_alignment.h"

// The copy check laid out for the eye: the sent text above the copy, character under
// character. A character missed in the copy leaves a gap in the copy line, an extra one a gap
// in the sent line; the blanks between the sent groups come back as blank columns in both.
struct AlignedColumn {
    enum class Kind { Right, Wrong, Missed, Extra, Blank };
    Kind kind = Kind::Right;
    QChar sent;    // kGap for an extra character
    QChar copied;  // kGap for a missed character
};

// What stands in a line where the other line has a character.
inline constexpr QChar kGap = u' ';

using AlignedRow = std::vector<AlignedColumn>;

// The aligned pairs of `result` with the blanks of `sentText` put back, in rows of at most
// `width` columns, broken after a group where one fits.
std::vector<AlignedRow> AlignedRows(const CopyCheckResult& result, const QString& sentText,
                                    int width);

QString SentLine(const AlignedRow& row);
QString CopyLine(const AlignedRow& row);
