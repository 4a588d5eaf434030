// "Heute üben" on the virtual clock: the round set up from the record, run, checked, counted,
// and the learner moved on.
#include <QTemporaryDir>
#include <QTest>

#include "course/course_session.h"
#include "engine/spoken_characters.h"
#include "record/record_store.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
const QString kAnna = QStringLiteral("Anna");

struct Database {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
};

// A checked round of `lesson` where every character of `characters` was sent `each` times and
// copied right `right` times.
CourseRound seededRound(const QString& course, int lesson, const QString& characters, int each,
                        int right, qint64 key) {
    CourseRound r;
    r.runKey = key;
    r.at = QDateTime::fromMSecsSinceEpoch(key);
    r.course = course;
    r.lesson = lesson;
    for (const QChar c : characters) {
        r.characters[QString(c)] = {each, right};
        r.attempts += each;
        r.right += right;
    }
    return r;
}

// Pairs of a check where the first `wrong` of `text`'s characters were miscopied.
std::vector<AlignedPair> copyOf(const QString& text, int wrong) {
    std::vector<AlignedPair> pairs;
    for (const QChar c : text) {
        if (c == u' ') continue;
        const bool right = static_cast<int>(pairs.size()) >= wrong;
        pairs.push_back({right ? AlignedPair::Kind::Right : AlignedPair::Kind::Wrong, c,
                         right ? c : QChar(u'#')});
    }
    return pairs;
}
}  // namespace

class TodayPracticeTest : public QObject {
    Q_OBJECT
private slots:
    void picksLessonKindSpeedAndSpacingFromTheRecord();
    void aRealRoundIsCountedAndACheckAgainReplacesIt();
    void passingMovesOnStoresTheAdvanceAndPlaysTheNewCharacters();
    void spacingNarrowsOnlyAt95AndPoorRoundsSuggestGoingBack();
};

void TodayPracticeTest::picksLessonKindSpeedAndSpacingFromTheRecord() {
    TestRig rig;
    rig.startUp();
    Database db;
    RecordStore store(db.path);
    QVERIFY2(store.isOpen(), qPrintable(store.error()));
    CourseRecord record(store);
    QVERIFY(record.setPlace(kAnna, {QStringLiteral("koch"), 6, 14}, rig.clock.now()));
    QVERIFY(record.saveRound(kAnna, seededRound(QStringLiteral("koch"), 6, "KMURESN", 5, 5, 1)));
    // A round of another lesson does not make this one less new.
    QVERIFY(record.saveRound(kAnna, seededRound(QStringLiteral("koch"), 5, "KMURES", 5, 5, 2)));

    TodaySetup setup = PrepareToday(store, kAnna, rig.clock.now());
    QVERIFY2(setup.ready, qPrintable(setup.problem));
    QCOMPARE(setup.plan.lesson, 6);
    QCOMPARE(setup.plan.newest, QStringLiteral("N"));
    QCOMPARE(rig.s.ExerciseKind, kCourseKind);
    QCOMPARE(rig.s.ExerciseText, LessonPool(QStringLiteral("KMURESN"), QStringLiteral("N"), 1));
    QCOMPARE(rig.f.UpDownGesch.value(), 77);
    QCOMPARE(rig.s.Speed, 77.0f);
    // New to the lesson: the learner's 1,4 widened to 1,7.
    QCOMPARE(rig.f.UpDownAbst.value(), 17);
    QCOMPARE(rig.s.CharSpacing, 1.7f);
    QCOMPARE(rig.f.L_Anz.caption(), QString::number(RoundGroups(7)));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Kurs: Lektion 6"));
    QCOMPARE(setup.run.lesson, 6);
    QCOMPARE(setup.run.course, QStringLiteral("koch"));

    // After two rounds of the lesson the learner's own spacing.
    QVERIFY(record.saveRound(kAnna, seededRound(QStringLiteral("koch"), 6, "KMURESN", 5, 5, 3)));
    setup = PrepareToday(store, kAnna, rig.clock.now());
    QCOMPARE(rig.s.CharSpacing, 1.4f);
    QCOMPARE(rig.s.ExerciseText, LessonPool(QStringLiteral("KMURESN"), QStringLiteral("N"), 2));

    // Someone new starts the trainer's own course at its first lesson.
    setup = PrepareToday(store, QStringLiteral("Ben"), rig.clock.now());
    QVERIFY(setup.ready);
    QCOMPARE(setup.run.course, QStringLiteral("darc"));
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("ELV0"));
    QCOMPARE(rig.s.CharSpacing, 1.8f);
}

void TodayPracticeTest::aRealRoundIsCountedAndACheckAgainReplacesIt() {
    TestRig rig;
    rig.startUp();
    Database db;
    RecordStore store(db.path);
    CourseRecord record(store);
    TodaySetup setup = PrepareToday(store, kAnna, rig.clock.now());
    QVERIFY(setup.ready);
    rig.f.Comstart.click();
    const QString sent = rig.s.SentText;
    // The run sent the round's groups, from the lesson only.
    QCOMPARE(sent.count(u' '), RoundGroups(4));
    const QString letters = QString(sent).remove(u' ');
    for (const QChar c : letters) QVERIFY(QStringLiteral("ELV0").contains(c));
    CourseRun run = setup.run;
    run.sentText = sent;

    CheckOutcome first = CountCheck(store, run, copyOf(sent, 30), rig.clock.now());
    QVERIFY(first.counted);
    QVERIFY(!first.advanced);
    CheckOutcome again = CountCheck(store, run, copyOf(sent, 3), rig.clock.now());
    QVERIFY(again.counted);
    const std::vector<CourseRound> rounds = record.rounds(kAnna, QStringLiteral("darc"), 1, 0);
    QCOMPARE(rounds.size(), size_t(1));
    QCOMPARE(rounds[0].attempts, RoundGroups(4) * 5);
    QCOMPARE(rounds[0].right, RoundGroups(4) * 5 - 3);
    QCOMPARE(rounds[0].spacingTenths, 18);

    // A check of another text is not the course's.
    rig.s.SentText = QStringLiteral("CQ CQ DE DL1ABC");
    QVERIFY(!CountCheck(store, run, copyOf(rig.s.SentText, 0), rig.clock.now()).counted);
    QCOMPARE(record.rounds(kAnna, QStringLiteral("darc"), 1, 0).size(), size_t(1));
}

void TodayPracticeTest::passingMovesOnStoresTheAdvanceAndPlaysTheNewCharacters() {
    TestRig rig;
    rig.startUp();
    Database db;
    RecordStore store(db.path);
    CourseRecord record(store);
    QVERIFY(record.setPlace(kAnna, {QStringLiteral("darc"), 1, 15}, rig.clock.now()));
    // Two earlier rounds, each character 8 times: not yet 20 of each.
    for (qint64 key : {1, 2})
        QVERIFY(record.saveRound(kAnna, seededRound(QStringLiteral("darc"), 1, "ELV0", 8, 8, key)));
    TodaySetup setup = PrepareToday(store, kAnna, rig.clock.now());
    rig.f.Comstart.click();
    CourseRun run = setup.run;
    run.sentText = rig.s.SentText;
    rig.clock.advance(60.0);

    const CheckOutcome outcome = CountCheck(store, run, copyOf(run.sentText, 0), rig.clock.now());
    QVERIFY(outcome.counted);
    QVERIFY(outcome.verdict.passed);
    QVERIFY(outcome.advanced);
    QCOMPARE(outcome.newCharacters, QStringLiteral("ASQ"));
    QVERIFY2(outcome.message.startsWith(QStringLiteral("Lektion 1 sitzt (100,0 % richtig auf")),
             qPrintable(outcome.message));
    QVERIFY(outcome.message.contains(QStringLiteral("neu: A, S, Q")));
    QVERIFY(outcome.message.contains(QStringLiteral("Der Zeichenabstand wird enger: 1,4.")));

    const CoursePlace place = *record.place(kAnna);
    QCOMPARE(place.lesson, 2);
    QCOMPARE(place.spacingTenths, 14);
    const std::vector<CourseAdvance> advances = record.advances(kAnna, QStringLiteral("darc"));
    QCOMPARE(advances.size(), size_t(1));
    QCOMPARE(advances[0].fromLesson, 1);
    QCOMPARE(advances[0].toLesson, 2);
    QCOMPARE(advances[0].newCharacters, QStringLiteral("ASQ"));
    QCOMPARE(advances[0].attempts, 64 + RoundGroups(4) * 5);
    QCOMPARE(advances[0].rounds, 3);
    QCOMPARE(advances[0].at, rig.clock.now());

    // The same run checked again neither moves the learner twice nor back.
    QVERIFY(!CountCheck(store, run, copyOf(run.sentText, 40), rig.clock.now()).advanced);
    QCOMPARE(record.place(kAnna)->lesson, 2);
    QCOMPARE(record.advances(kAnna, QStringLiteral("darc")).size(), size_t(1));

    // The new characters sound and are spoken once; the run's text stays checkable.
    rig.wave.played.clear();
    const QString before = rig.s.SentText;
    PlayNewCharacters(outcome.newCharacters);
    QCOMPARE(rig.s.SentText, before);
    for (const QChar c : outcome.newCharacters)
        QVERIFY2(rig.wave.played.join(u' ').contains(SpokenName(c)),
                 qPrintable(rig.wave.played.join(u' ')));

    const CourseOverview overview = OverviewOf(store, kAnna);
    QCOMPARE(overview.place.lesson, 2);
    QCOMPARE(overview.advances.size(), size_t(1));
    QCOMPARE(overview.rounds.size(), size_t(3));
    QCOMPARE(overview.roundsInLesson, 0);
    QCOMPARE(overview.verdict.mastery.size(), size_t(7));
}

void TodayPracticeTest::spacingNarrowsOnlyAt95AndPoorRoundsSuggestGoingBack() {
    TestRig rig;
    rig.startUp();
    Database db;
    RecordStore store(db.path);
    CourseRecord record(store);
    const QString text = QStringLiteral("KMKMK MKMKM ").repeated(10);  // 50 of each
    rig.s.SentText = text;
    const auto runAt = [&](int lesson, qint64 key) {
        CourseRun run;
        run.learner = kAnna;
        run.course = QStringLiteral("koch");
        run.lesson = lesson;
        run.runKey = key;
        run.sentText = text;
        return run;
    };
    // 93 %: passed, spacing kept.
    QVERIFY(record.setPlace(kAnna, {QStringLiteral("koch"), 1, 15}, rig.clock.now()));
    CheckOutcome o = CountCheck(store, runAt(1, 10), copyOf(text, 7), rig.clock.now());
    QVERIFY(o.advanced);
    QCOMPARE(record.place(kAnna)->spacingTenths, 15);
    QVERIFY(!o.message.contains(QStringLiteral("Zeichenabstand")));
    // At 1,0 the spacing stays.
    QVERIFY(record.setPlace(kAnna, {QStringLiteral("koch"), 1, 10}, rig.clock.now()));
    QVERIFY(CountCheck(store, runAt(1, 11), copyOf(text, 0), rig.clock.now()).advanced);
    QCOMPARE(record.place(kAnna)->spacingTenths, 10);

    // Three poor rounds in lesson 3: a suggestion, never a move back.
    QVERIFY(record.setPlace(kAnna, {QStringLiteral("koch"), 3, 12}, rig.clock.now()));
    QVERIFY(!CountCheck(store, runAt(3, 20), copyOf(text, 40), rig.clock.now()).suggestBack);
    QVERIFY(!CountCheck(store, runAt(3, 21), copyOf(text, 40), rig.clock.now()).suggestBack);
    o = CountCheck(store, runAt(3, 22), copyOf(text, 40), rig.clock.now());
    QVERIFY(o.suggestBack);
    QVERIFY(o.message.contains(QStringLiteral("Lektion 2 noch einmal")));
    QCOMPARE(record.place(kAnna)->lesson, 3);
    // A good round breaks the run of poor ones.
    QVERIFY(!CountCheck(store, runAt(3, 23), copyOf(text, 0), rig.clock.now()).suggestBack);

    // Moved by hand between the run and its check: the round counts, nobody is moved.
    QString problem;
    QVERIFY(ChooseLesson(store, kAnna, QStringLiteral("koch"), 1, rig.clock.now(), problem));
    o = CountCheck(store, runAt(3, 24), copyOf(text, 0), rig.clock.now());
    QVERIFY(o.counted && !o.advanced);
    QCOMPARE(record.place(kAnna)->lesson, 1);
    QVERIFY(ChooseLesson(store, kAnna, QStringLiteral("koch"), 99, rig.clock.now(), problem));
    QCOMPARE(record.place(kAnna)->lesson, 40);
}

REGISTER_TEST(TodayPracticeTest);
#include "today_practice_test.moc"
