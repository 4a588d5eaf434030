#include "record/course_record.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "record/record_store.h"
#include "support/registry.h"

class CourseRecordTest : public QObject {
    Q_OBJECT
private slots:
    void anOlderRecordGainsTheCourseAndKeepsItsEntries();
};

void CourseRecordTest::anOlderRecordGainsTheCourseAndKeepsItsEntries() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    {
        // A record as the version before the course wrote it: its tables and one run.
        RecordStore store(path);
        QVERIFY(store.isOpen());
        RecordBatch batch;
        RunSummary run;
        run.at = QDateTime::fromMSecsSinceEpoch(1000);
        run.kind = QStringLiteral("Z");
        batch.runs.emplace_back(QStringLiteral("Anna"), run);
        QVERIFY(store.write(batch));
        QSqlQuery q(store.database());
        for (const char* table :
             {"course_round_characters", "course_rounds", "course_advances", "course_places",
              "contest_pairs", "contest_calls", "contest_attempts", "sending_timing",
              "sending_pairs", "sending_attempts"})
            QVERIFY(q.exec(QStringLiteral("DROP TABLE %1").arg(QLatin1String(table))));
        for (const char* trigger :
             {"answers_add", "answers_remove", "copy_pairs_add", "copy_pairs_remove"})
            QVERIFY(q.exec(QStringLiteral("DROP TRIGGER %1").arg(QLatin1String(trigger))));
        for (const char* table : {"attempt_totals", "attempt_quarters"})
            QVERIFY(q.exec(QStringLiteral("DROP TABLE %1").arg(QLatin1String(table))));
        QVERIFY(q.exec(QStringLiteral("PRAGMA user_version = 2")));
    }
    RecordStore store(path);
    QVERIFY2(store.isOpen(), qPrintable(store.error()));
    QCOMPARE(store.runs(QStringLiteral("Anna")).size(), size_t(1));
    QSqlQuery version(store.database());
    QVERIFY(version.exec(QStringLiteral("PRAGMA user_version")) && version.next());
    QCOMPARE(version.value(0).toInt(), RecordStore::kSchemaVersion);

    CourseRecord record(store);
    QVERIFY(!record.place(QStringLiteral("Anna")));
    QVERIFY(record.setPlace(QStringLiteral("Anna"), {QStringLiteral("koch"), 7, 13},
                            QDateTime::fromMSecsSinceEpoch(2000)));
    CourseRound round;
    round.runKey = 5;
    round.course = QStringLiteral("koch");
    round.lesson = 7;
    round.attempts = 3;
    round.right = 2;
    round.characters[QStringLiteral("A")] = {3, 2};
    QVERIFY(record.saveRound(QStringLiteral("Anna"), round));
    // Another learner's round of the same run key is theirs, not a replacement.
    QVERIFY(record.saveRound(QStringLiteral("Ben"), round));
    round.right = 3;
    round.characters[QStringLiteral("A")] = {3, 3};
    QVERIFY(record.saveRound(QStringLiteral("Anna"), round));
    const auto rounds = record.rounds(QStringLiteral("Anna"), QStringLiteral("koch"), 7, 0);
    QCOMPARE(rounds.size(), size_t(1));
    QCOMPARE(rounds[0].right, 3);
    QCOMPARE(rounds[0].characters.size(), size_t(1));
    QCOMPARE(rounds[0].characters.at(QStringLiteral("A")).right, 3);
    QCOMPARE(record.rounds(QStringLiteral("Ben"), QStringLiteral("koch"), 7, 0)[0].right, 2);
    const CoursePlace place = *record.place(QStringLiteral("Anna"));
    QCOMPARE(place.course, QStringLiteral("koch"));
    QCOMPARE(place.lesson, 7);
    QCOMPARE(place.spacingTenths, 13);
}

REGISTER_TEST(CourseRecordTest);
#include "course_record_test.moc"
