#include "course/course_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <map>

#include "engine/morse_table.h"
#include "platform/file_lookup.h"

namespace {
CourseFile refused(const QString& problem) { return {Course{}, problem}; }

QString decoded(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? TextFromCp1252(bytes) : text;
}
}  // namespace

CourseFile ParseCourseFile(const QByteArray& bytes) {
    if (bytes.size() > kMaxCourseFileBytes) {
        return refused(QStringLiteral("Die Kursdatei ist zu groß (mehr als %1 KB).")
                           .arg(kMaxCourseFileBytes / 1024));
    }
    QString text = decoded(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    CourseFile result;
    result.course.id = kOwnCourseId;
    result.course.name = QStringLiteral("Eigener Kurs (Kurs.txt)");
    std::map<QChar, int> lessonOf;  // character -> the lesson that brings it
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const int lineNumber = static_cast<int>(n) + 1;
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        QString lesson;
        for (const QChar c : line) {
            if (c.isSpace()) continue;
            const QChar upper = c.toUpper();
            if (!HasMorseSign(upper)) {
                return refused(
                    QStringLiteral("Zeile %1 der Kursdatei: Für „%2“ hat der Trainer kein "
                                   "Morsezeichen.")
                        .arg(lineNumber)
                        .arg(c));
            }
            if (const auto found = lessonOf.find(upper); found != lessonOf.end()) {
                return refused(QStringLiteral("Zeile %1 der Kursdatei: „%2“ kommt schon in "
                                              "Lektion %3 vor.")
                                   .arg(lineNumber)
                                   .arg(upper)
                                   .arg(found->second));
            }
            lesson += upper;
            lessonOf[upper] = result.course.lessonCount() + 1;
        }
        if (lesson.size() > kMaxCharactersPerLesson) {
            return refused(QStringLiteral("Zeile %1 der Kursdatei: Eine Lektion bringt höchstens "
                                          "%2 Zeichen.")
                               .arg(lineNumber)
                               .arg(kMaxCharactersPerLesson));
        }
        result.course.lessons << lesson;
    }
    if (!result.course.valid())
        return refused(QStringLiteral("Die Kursdatei enthält keine Lektion."));
    if (result.course.lessons.front().size() < 2) {
        return refused(QStringLiteral(
            "Die erste Lektion der Kursdatei braucht mindestens zwei Zeichen, sonst gibt es "
            "nichts zu unterscheiden."));
    }
    return result;
}

CourseFile ReadOwnCourse() {
    const QString path = FindDataFile(QStringLiteral("Kurs.txt"));
    if (path.isEmpty())
        return refused(QStringLiteral("Es gibt keine Kursdatei Kurs.txt im Arbeitsordner."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("Die Kursdatei Kurs.txt lässt sich nicht lesen."));
    return ParseCourseFile(file.read(kMaxCourseFileBytes + 1));
}
