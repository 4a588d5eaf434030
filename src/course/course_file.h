#pragma once

#include <QByteArray>
#include <QString>

#include "course/course.h"

// A course of the learner's own: the file Kurs.txt in the working folder, one lesson per line
// with the characters it adds ("KM", then "U", ...). Blanks are ignored, lines starting with
// "#" are comments. UTF-8 or Windows-1252. Since every lesson brings a character of its own,
// a course has at most as many lessons as the trainer has signs.

inline constexpr qint64 kMaxCourseFileBytes = 16 * 1024;
inline constexpr int kMaxCharactersPerLesson = 20;

struct CourseFile {
    Course course;    // invalid (no lessons) when the file cannot be used
    QString problem;  // German message; empty when the file is good
};

// Reads a course from the bytes of a file; anything it cannot use makes it refuse the whole
// file with a message naming the line.
CourseFile ParseCourseFile(const QByteArray& bytes);

// The own course of Kurs.txt; a message when it is missing or bad.
CourseFile ReadOwnCourse();

inline const QString kOwnCourseId = QStringLiteral("eigen");
