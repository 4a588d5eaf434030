#pragma once

#include <QStringList>
#include <limits>

// The own-lessons file Lek.txt.

class QIODevice;

// A lesson file holds a few hundred short lessons at most; reading stops at these limits so
// that a stray large file neither freezes the dialog nor floods its list.
constexpr int kMaxOwnLessons = 1000;
constexpr qint64 kMaxLessonFileBytes = 256 * 1024;

// The entries of an own-lessons file: separated by line breaks or commas, leading blanks
// skipped; an entry that starts with a double quote runs to the next double quote and may
// hold commas. Stops after `maxEntries` entries.
QStringList ParseLessonEntries(const QString& content,
                               qsizetype maxEntries = std::numeric_limits<qsizetype>::max());

struct OwnLessons {
    QStringList entries;
    QString problem;  // German message when the file passed a limit; empty otherwise
};
// Reads own lessons from an open device: at most kMaxLessonFileBytes + 1 bytes and at most
// kMaxOwnLessons entries; of a longer file the entry cut by the limit is left out.
OwnLessons ReadLessonsFrom(QIODevice& device);
// The own lessons of Lek.txt; none when the file is missing or unreadable.
OwnLessons ReadOwnLessons();
