#pragma once

#include <QString>
#include <QStringList>

// A list of real call signs for the contest: a text file with one call per line. Blank lines and
// lines starting with "#" are skipped; a line that is not a call (3 to 12 characters, letters,
// digits and "/", at least one letter and one digit) is reported and left out.

inline constexpr qint64 kCallListMaxBytes = 1024 * 1024;
inline constexpr int kCallListMaxCalls = 20000;
inline constexpr int kCallListMinLength = 3;
inline constexpr int kCallListMaxLength = 12;
// Bad lines named one by one in the report; the rest are counted.
inline constexpr int kCallListReportedLines = 10;

struct CallList {
    QStringList calls;  // upper case, each once, in file order
    QString error;      // German; set when the file gave no list at all
    QString report;     // German; what was left out, empty when nothing was
    bool usable() const { return error.isEmpty() && !calls.isEmpty(); }
};

// Reads the list from text (UTF-8 or Latin-1 bytes).
CallList ParseCallList(const QByteArray& bytes);
// Reads the list from a file, refusing one larger than kCallListMaxBytes.
CallList ReadCallList(const QString& path);
