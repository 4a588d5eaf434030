#include "course/course.h"

#include <algorithm>

#include "exercises/darc_lessons.h"

QString Course::charactersUpTo(int lesson) const {
    QString all;
    const int last = std::clamp(lesson, 0, lessonCount());
    for (int i = 0; i < last; ++i) all += lessons[i];
    return all;
}

QString Course::newestOf(int lesson) const {
    if (lesson < 1 || lesson > lessonCount()) return {};
    return lessons[lesson - 1];
}

const Course& DarcCourse() {
    static const Course course = [] {
        Course c;
        c.id = QStringLiteral("darc");
        c.name = QStringLiteral("DARC-Morsekurs (11 Lektionen)");
        for (const char* lesson : kCourseLessons)
            c.lessons << QString::fromLatin1(lesson).toUpper();
        return c;
    }();
    return course;
}

const Course& KochCourse() {
    static const Course course = [] {
        Course c;
        c.id = QStringLiteral("koch");
        c.name = QStringLiteral("Koch-Reihenfolge wie LCWO (40 Lektionen)");
        const QString order = QStringLiteral("KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X");
        c.lessons << order.left(2);
        for (qsizetype i = 2; i < order.size(); ++i) c.lessons << QString(order[i]);
        return c;
    }();
    return course;
}
