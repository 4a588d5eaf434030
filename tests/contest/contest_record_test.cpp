#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "record/record_store.h"
#include "support/registry.h"

namespace {
ContestAttemptEntry attemptOf(const QDateTime& at, int score, bool completed, bool forBestList) {
    ContestAttemptEntry a;
    a.at = at;
    a.score = score;
    a.startBpm = 100;
    a.finalBpm = 120;
    a.highestBpm = score / 10;
    a.completed = completed;
    a.forBestList = forBestList;
    a.source = QStringLiteral("Rufzeichen-Generator");
    ContestCallEntry c;
    c.sent = QStringLiteral("DL1ABC");
    c.typed = QStringLiteral("DL1AB");
    c.pairs = {{"D", "D"}, {"L", "L"}, {"1", "1"}, {"A", "A"}, {"B", "B"}, {"C", ""}};
    c.wrong = 1;
    c.speedBpm = 100;
    c.points = 240;
    c.repeated = true;
    c.reactionMs = 350;
    c.typingMs = 1200;
    a.calls = {c};
    return a;
}
}  // namespace

class ContestRecordTest : public QObject {
    Q_OBJECT
private slots:
    void olderRecordGainsTheContestTables();
    void bestListOrderAndFilters();
};

void ContestRecordTest::olderRecordGainsTheContestTables() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("alt.sqlite"));
    {
        // A record as the first schema left it, with one answer in it.
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral(
            "CREATE TABLE answers (id INTEGER PRIMARY KEY, learner TEXT NOT NULL, at_ms INTEGER"
            " NOT NULL, asked TEXT NOT NULL, typed TEXT NOT NULL, right INTEGER NOT NULL,"
            " reaction_ms INTEGER, speed_cpm REAL, char_spacing REAL, word_spacing REAL,"
            " pitch_hz REAL, effects TEXT)")));
        QVERIFY(
            q.exec(QStringLiteral("INSERT INTO answers (learner, at_ms, asked, typed, right)"
                                  " VALUES ('Erika', 1, 'K', 'K', 1)")));
        for (const char* table : {"runs (id INTEGER PRIMARY KEY, learner TEXT, at_ms INTEGER, kind"
                                  " TEXT, group_count INTEGER, characters_sent INTEGER, elapsed_s"
                                  " REAL, measured_cpm REAL, completed INTEGER, speed_cpm REAL,"
                                  " char_spacing REAL, word_spacing REAL, pitch_hz REAL,"
                                  " effects TEXT)",
                                  "copy_checks (id INTEGER PRIMARY KEY, learner TEXT, at_ms"
                                  " INTEGER, speed_cpm REAL, char_spacing REAL, word_spacing"
                                  " REAL, pitch_hz REAL, effects TEXT)",
                                  "copy_pairs (check_id INTEGER, sent TEXT, copied TEXT)"})
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE ") + QString::fromLatin1(table)));
        QVERIFY(q.exec(QStringLiteral("PRAGMA user_version = 1")));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v1"));

    RecordStore store(path);
    QVERIFY2(store.isOpen(), qPrintable(store.error()));
    QCOMPARE(store.answers(QStringLiteral("Erika")).size(), size_t(1));
    RecordBatch batch;
    const QDateTime at(QDate(2026, 12, 9), QTime(20, 15));
    batch.contests.emplace_back(QStringLiteral("Otto"), attemptOf(at, 5000, true, true));
    QVERIFY2(store.write(batch), qPrintable(store.error()));
    QVERIFY(store.learners().contains(QStringLiteral("Otto")));

    const auto attempts = store.contestAttempts(QStringLiteral("Otto"), {}, true);
    QCOMPARE(attempts.size(), size_t(1));
    const ContestAttemptEntry& a = attempts.front();
    QCOMPARE(a.at, at);
    QCOMPARE(a.score, 5000);
    QCOMPARE(a.source, QStringLiteral("Rufzeichen-Generator"));
    QCOMPARE(a.calls.size(), size_t(1));
    const ContestCallEntry& c = a.calls.front();
    QCOMPARE(c.typed, QStringLiteral("DL1AB"));
    QCOMPARE(c.pairs.size(), size_t(6));
    QCOMPARE(c.pairs.back().sent, QStringLiteral("C"));
    QVERIFY(c.pairs.back().copied.isEmpty());
    QVERIFY(c.repeated);
    QCOMPARE(c.reactionMs, 350);
    QCOMPARE(c.typingMs, 1200);
    QCOMPARE(c.points, 240);
    // Without the calls only the attempt comes back.
    QVERIFY(store.contestAttempts(QStringLiteral("Otto"), {}, false).front().calls.empty());
    // A period after the attempt holds none.
    QVERIFY(store.contestAttempts(QStringLiteral("Otto"), at.addSecs(1), false).empty());
    const auto misses = store.contestMisses(QStringLiteral("Otto"), {}, 10);
    QCOMPARE(misses.size(), size_t(1));
    QCOMPARE(misses.front().character, QStringLiteral("C"));
    QCOMPARE(misses.front().missed, 1);
}

void ContestRecordTest::bestListOrderAndFilters() {
    RecordStore store(QStringLiteral(":memory:"));
    QVERIFY(store.isOpen());
    const QDateTime day(QDate(2026, 12, 1), QTime(18, 0));
    RecordBatch batch;
    const QString me = QStringLiteral("Erika");
    batch.contests.emplace_back(me, attemptOf(day, 3000, true, true));
    batch.contests.emplace_back(me, attemptOf(day.addDays(1), 9000, true, true));
    batch.contests.emplace_back(me, attemptOf(day.addDays(2), 3000, true, true));    // a tie
    batch.contests.emplace_back(me, attemptOf(day.addDays(3), 99000, true, false));  // eased
    batch.contests.emplace_back(me, attemptOf(day.addDays(4), 50000, false, true));  // stopped
    batch.contests.emplace_back(QStringLiteral("Otto"), attemptOf(day, 70000, true, true));
    QVERIFY(store.write(batch));
    const auto best = store.contestBestList(me, 10);
    QCOMPARE(best.size(), size_t(3));
    QCOMPARE(best[0].score, 9000);
    QCOMPARE(best[0].highestBpm, 900);
    QCOMPARE(best[1].at, day);  // the earlier of equal scores first
    QCOMPARE(best[2].at, day.addDays(2));
    QCOMPARE(store.contestBestList(me, 2).size(), size_t(2));
    QCOMPARE(store.contestAttempts(me, {}, false).size(), size_t(5));
}

REGISTER_TEST(ContestRecordTest);
#include "contest_record_test.moc"
