#include "record/record_store.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "record/record_database.h"
#include "support/registry.h"

namespace {
const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 0));

DrillAnswer answer(const QString& asked, const QString& typed, int reactionMs, int daysAgo = 0) {
    DrillAnswer a;
    a.at = kNow.addDays(-daysAgo);
    a.asked = asked;
    a.typed = typed;
    a.right = asked == typed;
    a.reactionMs = reactionMs;
    a.settings.speedCpm = 60;
    return a;
}

int rows(RecordStore& store, const QString& table) {
    QSqlQuery q(store.database());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM ") + table) || !q.next()) return -1;
    return q.value(0).toInt();
}
}  // namespace

class RecordStoreTest : public QObject {
    Q_OBJECT
private slots:
    void figuresFromAnswersAndCopies();
    void learnerNamesAreText();
    void failedWriteLeavesTheNextOneWorking();
    void damagedFileIsSetAsideAndAFreshOneWorks();
    void newerSchemaIsLeftAlone();
};

void RecordStoreTest::figuresFromAnswersAndCopies() {
    RecordStore store(QStringLiteral(":memory:"));
    QVERIFY2(store.isOpen(), qPrintable(store.error()));
    QSqlQuery version(store.database());
    QVERIFY(version.exec(QStringLiteral("PRAGMA user_version")) && version.next());
    QCOMPARE(version.value(0).toInt(), RecordStore::kSchemaVersion);

    RecordBatch batch;
    const QString me = QStringLiteral("dl1abc");
    batch.answers.emplace_back(me, answer("B", "6", 900));
    batch.answers.emplace_back(me, answer("B", "B", 700));
    batch.answers.emplace_back(me, answer("E", "E", 300));
    batch.answers.emplace_back(me, answer("E", "E", 500, 40));  // outside 30 days
    batch.answers.emplace_back(QStringLiteral("other"), answer("E", "T", 300));
    CheckedCopy copy;
    copy.at = kNow;
    copy.pairs = {{"B", "6"}, {"E", "E"}, {"K", ""}, {"", "X"}};
    batch.copies.emplace_back(me, copy);
    RunSummary run;
    run.at = kNow;
    run.measuredCpm = 58.5;
    run.elapsedSeconds = 60;
    batch.runs.emplace_back(me, run);
    QVERIFY(store.write(batch));

    const QDateTime since = kNow.addDays(-30);
    QCOMPARE(store.entryCount(me, since), 6);  // three answers, three sent copy characters
    std::map<QString, CharacterFigures> byChar;
    for (const CharacterFigures& f : store.characterFigures(me, since)) byChar[f.character] = f;
    QCOMPARE(byChar.size(), size_t(3));
    QCOMPARE(byChar["B"].attempts, 3);
    QCOMPARE(byChar["B"].right, 1);
    QCOMPARE(byChar["B"].meanReactionMs, 700.0);  // right answers only
    QCOMPARE(byChar["E"].attempts, 2);
    QCOMPARE(byChar["E"].right, 2);
    QCOMPARE(byChar["K"].right, 0);
    const auto confusions = store.confusions(me, since, 10);
    QCOMPARE(confusions.size(), size_t(1));
    QCOMPARE(confusions[0].sent, QStringLiteral("B"));
    QCOMPARE(confusions[0].heard, QStringLiteral("6"));
    QCOMPARE(confusions[0].count, 2);
    const auto days = store.dayFigures(me, QDateTime());
    QCOMPARE(days.size(), size_t(2));
    QCOMPARE(days.back().day, kNow.date());
    QCOMPARE(days.back().attempts, 6);
    QCOMPARE(days.back().right, 3);
    QCOMPARE(days.back().meanMeasuredCpm, 58.5);
}

void RecordStoreTest::learnerNamesAreText() {
    RecordStore store(QStringLiteral(":memory:"));
    const QString evil = QStringLiteral("O'Brien\"); DROP TABLE answers; --");
    RecordBatch batch;
    batch.answers.emplace_back(evil, answer("A", "A", 400));
    QVERIFY(store.write(batch));
    QCOMPARE(store.learners(), QStringList{evil});
    QCOMPARE(rows(store, QStringLiteral("answers")), 1);
    QCOMPARE(store.entryCount(evil, QDateTime()), 1);
}

void RecordStoreTest::failedWriteLeavesTheNextOneWorking() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    const QString me = QStringLiteral("me");
    {
        RecordStore store(path);
        QSqlQuery refuse(store.database());
        QVERIFY(refuse.exec(QStringLiteral(
            "CREATE TEMP TRIGGER refuse BEFORE INSERT ON answers WHEN NEW.asked = 'X'"
            " BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        RecordBatch bad;
        bad.answers.emplace_back(me, answer("A", "A", 400));
        bad.answers.emplace_back(me, answer("X", "X", 400));
        QVERIFY(!store.write(bad));
        QVERIFY(!store.error().isEmpty());

        // The failure ends with its batch: the next one is written.
        RecordBatch good;
        good.answers.emplace_back(me, answer("B", "B", 500));
        QVERIFY2(store.write(good), qPrintable(store.error()));
    }
    // ... and kept, without a trace of the failed batch.
    RecordStore reopened(path);
    QCOMPARE(reopened.entryCount(me, QDateTime()), 1);
    QCOMPARE(reopened.answers(me).size(), size_t(1));
    QCOMPARE(reopened.answers(me).front().asked, QStringLiteral("B"));
}

void RecordStoreTest::damagedFileIsSetAsideAndAFreshOneWorks() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("SQLite format 3").append(QByteArray(4096, '\x5a')));
    }
    const RecordOpening opening = PrepareRecordDatabase(path, QDate(2026, 12, 9));
    QVERIFY(opening.usable);
    QVERIFY(opening.message.contains(QStringLiteral("beschädigt")));
    QVERIFY(opening.setAside.endsWith(QStringLiteral(".beschaedigt-2026-12-09")));
    QVERIFY(QFile::exists(opening.setAside));
    RecordStore fresh(path);
    QVERIFY(fresh.isOpen());
    RecordBatch batch;
    batch.answers.emplace_back(QStringLiteral("me"), answer("A", "A", 400));
    QVERIFY(fresh.write(batch));
    QCOMPARE(fresh.entryCount(QStringLiteral("me"), QDateTime()), 1);
    // A sound file opens quietly.
    const RecordOpening again = PrepareRecordDatabase(path, QDate(2026, 12, 10));
    QVERIFY(again.usable);
    QVERIFY(again.message.isEmpty());
}

void RecordStoreTest::newerSchemaIsLeftAlone() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    {
        RecordStore store(path);
        QSqlQuery q(store.database());
        QVERIFY(q.exec(QStringLiteral("PRAGMA user_version = 99")));
    }
    const RecordOpening opening = PrepareRecordDatabase(path, QDate(2026, 12, 9));
    QVERIFY(!opening.usable);
    QVERIFY(!opening.message.isEmpty());
    QVERIFY(QFile::exists(path));  // not moved: it is not damaged, only newer
}

REGISTER_TEST(RecordStoreTest);
#include "record_store_test.moc"
