// libFuzzer target for the own-course reader: any bytes read without a crash or a hang; either
// a course whose every character can be sent and comes once, with no message, or no course and
// a message; a course read comes back unchanged when written out one lesson per line.
#include <QByteArray>
#include <QSet>
#include <cstddef>
#include <cstdint>

#include "course/course_file.h"
#include "engine/morse_table.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CourseFile read = ParseCourseFile(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    Check(read.course.valid() == read.problem.isEmpty());
    if (!read.course.valid()) return 0;
    Check(read.course.lessons.front().size() >= 2);
    QSet<QChar> seen;
    QByteArray again;
    for (const QString& lesson : read.course.lessons) {
        Check(!lesson.isEmpty() && lesson.size() <= kMaxCharactersPerLesson);
        for (const QChar c : lesson) {
            Check(HasMorseSign(c) && c == c.toUpper());
            Check(!seen.contains(c));
            seen.insert(c);
        }
        again += lesson.toLatin1() + '\n';
    }
    const CourseFile back = ParseCourseFile(again);
    Check(back.problem.isEmpty());
    Check(back.course.lessons == read.course.lessons);
    return 0;
}
