#pragma once

#include <QString>
#include <QStringList>

// A course: lessons in order, each adding one or more characters to those before it.
struct Course {
    QString id;            // stored in the record: "darc", "koch", "eigen"
    QString name;          // German, for the window
    QStringList lessons;   // the characters each lesson adds, upper case
    double speedWpm = 20;  // character speed of the course (a dot of 60 ms)

    int lessonCount() const { return static_cast<int>(lessons.size()); }
    bool valid() const { return !lessons.isEmpty(); }
    // All characters of lessons 1 to `lesson` (1-based, clamped to the course).
    QString charactersUpTo(int lesson) const;
    // The characters lesson `lesson` adds; empty outside the course.
    QString newestOf(int lesson) const;
};

// The trainer's own lesson list, as the lessons dialog offers it.
const Course& DarcCourse();
// The Koch order of the large open online course (LCWO): K and M, then one character a lesson.
const Course& KochCourse();
