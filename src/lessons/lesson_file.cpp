#include "lessons/lesson_file.h"

#include <QFile>
#include <QIODevice>

#include "engine/morse_table.h"
#include "platform/file_lookup.h"

QStringList ParseLessonEntries(const QString& content, qsizetype maxEntries) {
    QStringList entries;
    const qsizetype n = content.size();
    auto lineBreak = [&](qsizetype i) { return content[i] == u'\r' || content[i] == u'\n'; };
    // Steps over one separator: a comma, or a line break of CR LF, LF or CR.
    auto skipSeparator = [&](qsizetype i) {
        if (i >= n) return i;
        if (content[i] == u'\r' && i + 1 < n && content[i + 1] == u'\n') return i + 2;
        return i + 1;
    };
    qsizetype i = 0;
    while (i < n && entries.size() < maxEntries) {
        while (i < n && content[i] == u' ') ++i;
        QString entry;
        if (i < n && content[i] == u'"') {
            const qsizetype close = content.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            entry = content.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            // Whatever follows the closing quote up to the separator does not belong to it.
            while (i < n && content[i] != u',' && !lineBreak(i)) ++i;
        } else {
            const qsizetype start = i;
            while (i < n && content[i] != u',' && !lineBreak(i)) ++i;
            entry = content.mid(start, i - start);
        }
        entries << entry;
        i = skipSeparator(i);
    }
    return entries;
}

OwnLessons ReadLessonsFrom(QIODevice& device) {
    OwnLessons result;
    QByteArray bytes = device.read(kMaxLessonFileBytes + 1);
    const bool tooLong = bytes.size() > kMaxLessonFileBytes;
    bytes.truncate(kMaxLessonFileBytes);
    const QString content = TextFromCp1252(bytes);
    // One more than the limit tells whether the file holds too many.
    result.entries = ParseLessonEntries(content, kMaxOwnLessons + 1);
    // Too many entries, or the last one runs across the byte limit and is incomplete.
    const bool cut = tooLong || result.entries.size() > kMaxOwnLessons;
    if (cut && !result.entries.isEmpty()) result.entries.removeLast();
    if (cut) {
        result.problem = QStringLiteral(
                             "Die Datei Lek.txt ist zu groß (mehr als %1 Lektionen oder %2 KB). "
                             "Gelesen wurden nur die ersten %3 Lektionen.")
                             .arg(kMaxOwnLessons)
                             .arg(kMaxLessonFileBytes / 1024)
                             .arg(result.entries.size());
    }
    return result;
}

OwnLessons ReadOwnLessons() {
    const QString path = FindDataFile(QStringLiteral("Lek.txt"));
    if (path.isEmpty()) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return ReadLessonsFrom(file);
}
