#include <QTest>

#include "course/course.h"
#include "course/course_file.h"
#include "course/course_gate.h"
#include "course/course_plan.h"
#include "engine/morse_table.h"
#include "exercises/darc_lessons.h"
#include "exercises/random_groups.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
// Every character of a course can be sent and comes in exactly one lesson.
void checkSendableOnce(const Course& course) {
    QString seen;
    for (const QString& lesson : course.lessons) {
        QVERIFY(!lesson.isEmpty());
        for (const QChar c : lesson) {
            QVERIFY2(HasMorseSign(c), qPrintable(QString(c)));
            QVERIFY2(!seen.contains(c), qPrintable(QString(c)));
            seen += c;
        }
    }
}

CourseRound roundOf(const std::map<QString, CharacterTally>& characters, int extra = 0) {
    CourseRound r;
    for (const auto& [c, t] : characters) {
        r.attempts += t.attempts;
        r.right += t.right;
    }
    r.attempts += extra;
    r.characters = characters;
    return r;
}

// The share of the newest characters in `draws` characters drawn as a group run draws them;
// also checks the drawing rules on the way.
double drawnShare(const QString& pool, const QString& newest, int draws) {
    QString previous(QChar(u'\0'));
    int mine = 0;
    for (int i = 0; i < draws; ++i) {
        const QString c = DrawGroupCharacter(pool, previous, false, false);
        if (c == previous) {
            QTest::qFail("a character drawn twice in a row", __FILE__, __LINE__);
            return -1;
        }
        if (!pool.contains(c)) {
            QTest::qFail("a character outside the lesson", __FILE__, __LINE__);
            return -1;
        }
        if (newest.contains(c)) ++mine;
        previous = c;
    }
    return static_cast<double>(mine) / draws;
}
}  // namespace

class CoursesTest : public QObject {
    Q_OBJECT
private slots:
    void theTwoCoursesAreComplete();
    void ownCourseFileIsReadOrRefusedInGerman();
    void newestShareStartsAtOneInFiveAndFalls();
    void gateNeedsEveryCharacterAndEnoughOfThem();
    void spacingRoundsAndStruggling();
};

void CoursesTest::theTwoCoursesAreComplete() {
    const Course& koch = KochCourse();
    QCOMPARE(koch.lessonCount(), 40);
    QCOMPARE(koch.lessons.front(), QStringLiteral("KM"));
    QCOMPARE(koch.charactersUpTo(40), QStringLiteral("KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X"));
    QCOMPARE(koch.newestOf(12), QStringLiteral("I"));
    QCOMPARE(koch.newestOf(41), QString());
    QCOMPARE(koch.charactersUpTo(99), koch.charactersUpTo(40));
    checkSendableOnce(koch);

    const Course& darc = DarcCourse();
    QCOMPARE(darc.lessonCount(), static_cast<int>(kCourseLessons.size()));
    for (int i = 0; i < darc.lessonCount(); ++i)
        QCOMPARE(darc.lessons[i], QString::fromLatin1(kCourseLessons[i]).toUpper());
    QCOMPARE(darc.charactersUpTo(2), QStringLiteral("ELV0ASQ"));
    checkSendableOnce(darc);
    QCOMPARE(darc.speedWpm, 20.0);
}

void CoursesTest::ownCourseFileIsReadOrRefusedInGerman() {
    const CourseFile good =
        ParseCourseFile("\xEF\xBB\xBF# Mein Kurs\r\nk m\r\n\r\nu\nr e\n  # Satzzeichen\n=?\n");
    QVERIFY2(good.problem.isEmpty(), qPrintable(good.problem));
    QCOMPARE(good.course.lessons, QStringList({QStringLiteral("KM"), QStringLiteral("U"),
                                               QStringLiteral("RE"), QStringLiteral("=?")}));
    QCOMPARE(good.course.id, kOwnCourseId);

    const struct {
        QByteArray bytes;
        QString says;
    } bad[] = {
        {"KM\nU\nK\n", QStringLiteral("Zeile 3 der Kursdatei: „K“ kommt schon in Lektion 1 vor.")},
        {"KM\nU\xC3\xA4\n", QStringLiteral("Zeile 2 der Kursdatei: Für „ä“ hat der Trainer kein")},
        // Not UTF-8: read as Windows-1252, where the byte is "ä" as well.
        {"KM\n\xE4\n", QStringLiteral("Zeile 2 der Kursdatei: Für „ä“")},
        {"K\nM\n", QStringLiteral("Die erste Lektion der Kursdatei braucht mindestens zwei")},
        {"# nur Kommentar\n\n", QStringLiteral("Die Kursdatei enthält keine Lektion.")},
        {"KM\nABCDEFGHIJLNOPQRSTUVW\n", QStringLiteral("Zeile 2 der Kursdatei: Eine Lektion")},
        {QByteArray(kMaxCourseFileBytes + 1, 'K'), QStringLiteral("Die Kursdatei ist zu groß")},
    };
    for (const auto& b : bad) {
        const CourseFile read = ParseCourseFile(b.bytes);
        QVERIFY2(read.problem.startsWith(b.says), qPrintable(read.problem));
        QVERIFY(!read.course.valid());
    }
}

void CoursesTest::newestShareStartsAtOneInFiveAndFalls() {
    TestRig rig(5);
    const Course& koch = KochCourse();
    for (int lesson : {6, 20, 40}) {
        const QString all = koch.charactersUpTo(lesson);
        const QString newest = koch.newestOf(lesson);
        const double plain = 1.0 / all.size();
        double before = 1.0;
        for (int done = 0; done <= kNewestBoostRounds + 1; ++done) {
            const double expected = NewestShare(1, static_cast<int>(all.size()), done);
            const double drawn = drawnShare(LessonPool(all, newest, done), newest, 40000);
            QVERIFY2(qAbs(drawn - expected) < 0.012,
                     qPrintable(QStringLiteral("lesson %1 round %2: %3 drawn, %4 meant")
                                    .arg(lesson)
                                    .arg(done)
                                    .arg(drawn)
                                    .arg(expected)));
            QVERIFY(expected <= before);
            before = expected;
        }
        QCOMPARE(NewestShare(1, static_cast<int>(all.size()), 0), 0.2);
        QCOMPARE(NewestShare(1, static_cast<int>(all.size()), kNewestBoostRounds), plain);
        // Every character of the lesson still comes up.
        const QString pool = LessonPool(all, newest, 0);
        for (const QChar c : all) QVERIFY(pool.contains(c));
    }
    // Where the newest already make a fifth or more, nothing is weighted.
    QCOMPARE(LessonPool(QStringLiteral("KMU"), QStringLiteral("U"), 0), QStringLiteral("KMU"));
    QCOMPARE(LessonPool(QStringLiteral("ELV0ASQ"), QStringLiteral("ASQ"), 0),
             QStringLiteral("ELV0ASQ"));
    QCOMPARE(LessonPool(QStringLiteral("KM"), QStringLiteral("KM"), 0), QStringLiteral("KM"));
    // Several new characters share the fifth.
    const QString darc = DarcCourse().charactersUpTo(6);
    const double drawn =
        drawnShare(LessonPool(darc, QStringLiteral("F4"), 0), QStringLiteral("F4"), 60000);
    QVERIFY2(qAbs(drawn - 0.2) < 0.012, qPrintable(QString::number(drawn)));
}

void CoursesTest::gateNeedsEveryCharacterAndEnoughOfThem() {
    const QString km = QStringLiteral("KM");
    using T = CharacterTally;
    // Exactly on the marks: 100 characters, 90 %, every character 20 times at 90 %.
    QVERIFY(JudgeLesson(
                km, {roundOf({{QStringLiteral("K"), T{80, 72}}, {QStringLiteral("M"), T{20, 18}}})})
                .passed);
    // One short of each mark.
    QVERIFY(!JudgeLesson(km, {roundOf({{QStringLiteral("K"), T{80, 80}},
                                       {QStringLiteral("M"), T{19, 19}}})})
                 .passed);
    QVERIFY(!JudgeLesson(km, {roundOf({{QStringLiteral("K"), T{80, 80}},
                                       {QStringLiteral("M"), T{20, 17}}})})
                 .passed);
    QVERIFY(!JudgeLesson(km, {roundOf({{QStringLiteral("K"), T{60, 60}},
                                       {QStringLiteral("M"), T{39, 39}}})})
                 .passed);
    // Extra characters of the copy lower the whole share.
    QVERIFY(
        !JudgeLesson(
             km, {roundOf({{QStringLiteral("K"), T{50, 50}}, {QStringLiteral("M"), T{50, 45}}}, 6)})
             .passed);
    // A character of the lesson that was never sent does not sit.
    const GateVerdict missing = JudgeLesson(
        QStringLiteral("KMU"),
        {roundOf({{QStringLiteral("K"), T{60, 60}}, {QStringLiteral("M"), T{60, 60}}})});
    QVERIFY(!missing.passed);
    QCOMPARE(missing.mastery.size(), size_t(3));
    QVERIFY(missing.mastery[0].sits && !missing.mastery[2].sits);
    // Rounds add up; only the latest three count.
    const CourseRound half =
        roundOf({{QStringLiteral("K"), T{30, 30}}, {QStringLiteral("M"), T{10, 10}}});
    const CourseRound poor =
        roundOf({{QStringLiteral("K"), T{100, 10}}, {QStringLiteral("M"), T{100, 10}}});
    QVERIFY(!JudgeLesson(km, {half, half}).passed);
    QVERIFY(JudgeLesson(km, {half, half, half}).passed);
    QVERIFY(JudgeLesson(km, {half, half, half, poor}).passed);
    QVERIFY(!JudgeLesson(km, {half, half, poor}).passed);
    // The figures a check gives: extra characters count for the whole copy only.
    const CourseRound checked = RoundOfCheck({{AlignedPair::Kind::Right, u'k', u'k'},
                                              {AlignedPair::Kind::Wrong, u'M', u'K'},
                                              {AlignedPair::Kind::Missed, u'M', QChar()},
                                              {AlignedPair::Kind::Extra, QChar(), u'E'}});
    QCOMPARE(checked.attempts, 4);
    QCOMPARE(checked.right, 1);
    QCOMPARE(checked.characters.at(QStringLiteral("K")).right, 1);
    QCOMPARE(checked.characters.at(QStringLiteral("M")).attempts, 2);
    QCOMPARE(checked.characters.count(QStringLiteral("E")), size_t(0));
}

void CoursesTest::spacingRoundsAndStruggling() {
    QCOMPARE(RoundSpacingTenths(15, 0), 18);
    QCOMPARE(RoundSpacingTenths(15, kNewLessonRounds), 15);
    QCOMPARE(SpacingAfterPass(15, 95), 14);
    QCOMPARE(SpacingAfterPass(15, 94), 15);
    QCOMPARE(SpacingAfterPass(10, 100), 10);
    QCOMPARE(RoundGroups(2), 25);
    QCOMPARE(RoundGroups(41), 205);

    const auto at = [](int right) {
        CourseRound r;
        r.attempts = 100;
        r.right = right;
        return r;
    };
    QVERIFY(Struggling({at(69), at(50), at(10)}));
    QVERIFY(Struggling({at(69), at(50), at(10), at(99)}));
    QVERIFY(!Struggling({at(69), at(70), at(10)}));
    QVERIFY(!Struggling({at(10), at(10)}));
}

REGISTER_TEST(CoursesTest);
#include "courses_test.moc"
