#include "record/record_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <mutex>

#include "record/record_database.h"
#include "record/record_writer.h"
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

CheckedCopy checkedCopy(const QDateTime& runStart, std::vector<CopyPair> pairs) {
    CheckedCopy c;
    c.at = kNow;
    c.runStart = runStart;
    c.pairs = std::move(pairs);
    return c;
}

// Another program holding the record's file locked against readers and writers.
struct LockHolder {
    explicit LockHolder(const QString& path) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        // Out of WAL, where it can be, so that even readers wait; in WAL writers still do.
        q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        QVERIFY(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    }
    ~LockHolder() { release(); }
    void release() {
        if (!db.isOpen()) return;
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    }
    QSqlDatabase db;
};

// Files of `dir` whose name tells they were set aside.
QStringList setAside(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList({QStringLiteral("*beschaedigt*")}, QDir::Files);
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
    void lockedOrReadOnlyRecordIsLeftAlone();
    void writerTellsOnceAndResumesWhenTheLockIsGone();
    void secondCheckOfARunReplacesTheFirst();
    void firstVersionGainsTheRunOfACheck();
    void daysAreLocalAcrossAChangeOfTheClock();
    void wholeRecordFromTheTotalsAgreesWithTheEntries();
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

void RecordStoreTest::lockedOrReadOnlyRecordIsLeftAlone() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    QVERIFY(PrepareRecordDatabase(path, QDate(2026, 12, 9)).usable);
    {
        RecordStore store(path);
        RecordBatch batch;
        batch.answers.emplace_back(QStringLiteral("me"), answer("A", "A", 400));
        QVERIFY(store.write(batch));
    }
    {
        // Held longer than the store waits: the check cannot run, but nothing is damaged.
        LockHolder holder(path);
        const RecordOpening opening = PrepareRecordDatabase(path, QDate(2026, 12, 9));
        QVERIFY(!opening.usable);
        QVERIFY(opening.setAside.isEmpty());
        QVERIFY2(opening.message.contains(QStringLiteral("bleibt")), qPrintable(opening.message));
        QVERIFY(setAside(dir).isEmpty());
        RecordStore blocked(path, 50);
        QVERIFY(!blocked.isOpen());
        QVERIFY(!blocked.damaged());
    }
    if (QFile(path).setPermissions(QFile::ReadOwner) && !QFileInfo(path).isWritable()) {
        // Read-only: readable, but a write fails without the file counting as damaged.
        RecordStore store(path);
        RecordBatch batch;
        batch.answers.emplace_back(QStringLiteral("me"), answer("B", "B", 400));
        QVERIFY(!store.isOpen() || !store.write(batch));
        QVERIFY(!store.damaged());
        QVERIFY(PrepareRecordDatabase(path, QDate(2026, 12, 9)).setAside.isEmpty());
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    QVERIFY(setAside(dir).isEmpty());
    RecordStore store(path);
    QVERIFY(store.isOpen());
    QCOMPARE(store.entryCount(QStringLiteral("me"), QDateTime()), 1);

    // Not a database at all: set aside like a damaged one.
    const QString text = dir.filePath(QStringLiteral("text.sqlite"));
    {
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    }
    const RecordOpening notADatabase = PrepareRecordDatabase(text, QDate(2026, 12, 9));
    QVERIFY(notADatabase.usable);
    QVERIFY(!notADatabase.setAside.isEmpty());
    QCOMPARE(setAside(dir).size(), 1);
}

void RecordStoreTest::writerTellsOnceAndResumesWhenTheLockIsGone() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    QVERIFY(PrepareRecordDatabase(path, QDate(2026, 12, 9)).usable);
    QStringList told;
    std::mutex toldMutex;
    std::unique_ptr<LockHolder> holder;
    {
        RecordWriter writer(path, QStringLiteral("me"));
        writer.setTroubleHandler([&](const QString& text) {
            std::lock_guard lock(toldMutex);
            told << text;
        });
        holder = std::make_unique<LockHolder>(path);
        writer.answer(answer("A", "A", 400));
        writer.flush();
        QCOMPARE(writer.lost(), 1);
        writer.answer(answer("B", "B", 400));
        writer.flush();
        QCOMPARE(writer.lost(), 2);
        holder.reset();
        writer.answer(answer("C", "C", 400));
        writer.flush();
        QCOMPARE(writer.lost(), 2);
        // Locked again at the end: the writer still ends, its entry given up.
        holder = std::make_unique<LockHolder>(path);
        writer.answer(answer("D", "D", 400));
    }
    holder.reset();
    QCOMPARE(told.size(), 1);
    QVERIFY(told[0].contains(QStringLiteral("nichts aufgezeichnet")));
    QVERIFY(setAside(dir).isEmpty());
    RecordStore store(path);
    QCOMPARE(store.entryCount(QStringLiteral("me"), QDateTime()), 1);
    QCOMPARE(store.answers(QStringLiteral("me")).front().asked, QStringLiteral("C"));
}

void RecordStoreTest::secondCheckOfARunReplacesTheFirst() {
    RecordStore store(QStringLiteral(":memory:"));
    const QString me = QStringLiteral("me");
    const QDateTime run = kNow.addSecs(-120);
    RecordBatch first;
    first.copies.emplace_back(me, checkedCopy(run, {{"A", "A"}, {"B", "8"}, {"C", "C"}}));
    first.copies.emplace_back(me, checkedCopy(QDateTime(), {{"X", "X"}}));
    QVERIFY(store.write(first));
    // The typo mended, checked again; in the same batch another learner checks the same run
    // and the learner checks an earlier one.
    RecordBatch second;
    second.copies.emplace_back(me, checkedCopy(run, {{"A", "A"}, {"B", "B"}, {"C", "C"}}));
    second.copies.emplace_back(QStringLiteral("du"), checkedCopy(run, {{"A", "E"}}));
    second.copies.emplace_back(me, checkedCopy(run.addSecs(-300), {{"D", "D"}}));
    second.copies.emplace_back(me, checkedCopy(QDateTime(), {{"X", "X"}}));
    QVERIFY(store.write(second));

    const std::vector<CheckedCopy> copies = store.checkedCopies(me);
    QCOMPARE(copies.size(), size_t(4));
    int ofRun = 0;
    for (const CheckedCopy& c : copies) {
        if (c.runStart != run) continue;
        ++ofRun;
        QCOMPARE(c.pairs.size(), size_t(3));
        QCOMPARE(c.pairs[1].copied, QStringLiteral("B"));
    }
    QCOMPARE(ofRun, 1);
    QCOMPARE(store.entryCount(me, QDateTime()), 3 + 1 + 2);
    QVERIFY(store.confusions(me, QDateTime(), 5).empty());
    QCOMPARE(store.checkedCopies(QStringLiteral("du")).size(), size_t(1));
    QCOMPARE(rows(store, QStringLiteral("copy_pairs")), 3 + 1 + 1 + 1 + 1);
}

void RecordStoreTest::firstVersionGainsTheRunOfACheck() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    {
        // A record as the first version wrote it, with one checked copy.
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const char* sql :
             {"CREATE TABLE answers (id INTEGER PRIMARY KEY, learner TEXT NOT NULL, at_ms INTEGER"
              " NOT NULL, asked TEXT NOT NULL, typed TEXT NOT NULL, right INTEGER NOT NULL,"
              " reaction_ms INTEGER, speed_cpm REAL, char_spacing REAL, word_spacing REAL,"
              " pitch_hz REAL, effects TEXT)",
              "CREATE TABLE runs (id INTEGER PRIMARY KEY, learner TEXT NOT NULL, at_ms INTEGER"
              " NOT NULL, kind TEXT, group_count INTEGER, characters_sent INTEGER, elapsed_s REAL,"
              " measured_cpm REAL, completed INTEGER, speed_cpm REAL, char_spacing REAL,"
              " word_spacing REAL, pitch_hz REAL, effects TEXT)",
              "CREATE TABLE copy_checks (id INTEGER PRIMARY KEY, learner TEXT NOT NULL, at_ms"
              " INTEGER NOT NULL, speed_cpm REAL, char_spacing REAL, word_spacing REAL, pitch_hz"
              " REAL, effects TEXT)",
              "CREATE TABLE copy_pairs (check_id INTEGER NOT NULL REFERENCES copy_checks(id),"
              " sent TEXT NOT NULL, copied TEXT NOT NULL)",
              "INSERT INTO copy_checks (id, learner, at_ms) VALUES (1, 'me', 1000)",
              "INSERT INTO copy_pairs VALUES (1, 'A', 'A')", "PRAGMA user_version = 1"}) {
            QVERIFY2(q.exec(QString::fromLatin1(sql)), sql);
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v1"));
    QVERIFY(PrepareRecordDatabase(path, QDate(2026, 12, 9)).usable);
    RecordStore store(path);
    QSqlQuery version(store.database());
    QVERIFY(version.exec(QStringLiteral("PRAGMA user_version")) && version.next());
    QCOMPARE(version.value(0).toInt(), RecordStore::kSchemaVersion);
    version.finish();
    RecordBatch batch;
    batch.copies.emplace_back(QStringLiteral("me"), checkedCopy(kNow, {{"B", "B"}}));
    batch.copies.emplace_back(QStringLiteral("me"), checkedCopy(kNow, {{"C", "C"}}));
    QVERIFY(store.write(batch));
    const std::vector<CheckedCopy> copies = store.checkedCopies(QStringLiteral("me"));
    QCOMPARE(copies.size(), size_t(2));
    QVERIFY(!copies[0].runStart.isValid());  // the old check stays, its run unknown
    // What was recorded before the running totals counts in them; the replaced check does not.
    QCOMPARE(store.entryCount(QStringLiteral("me"), QDateTime()), 2);
    QCOMPARE(store.characterFigures(QStringLiteral("me"), QDateTime()).front().character,
             QStringLiteral("A"));
    QCOMPARE(copies[0].pairs[0].sent, QStringLiteral("A"));
    QCOMPARE(copies[1].runStart, kNow);
    QCOMPARE(copies[1].pairs[0].sent, QStringLiteral("C"));
}

void RecordStoreTest::daysAreLocalAcrossAChangeOfTheClock() {
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    const auto restore = qScopeGuard([&savedZone] {
        if (savedZone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", savedZone);
    });
    // Summer time begins on 29 March 2026 at 01:00 UTC: around each local midnight of that
    // weekend one entry before and one after.
    const auto utc = [](int day, int hour) {
        return QDateTime(QDate(2026, 3, day), QTime(hour, 30), Qt::UTC);
    };
    RecordStore store(QStringLiteral(":memory:"));
    RecordBatch batch;
    for (const QDateTime& at : {utc(28, 22), utc(28, 23), utc(29, 21), utc(29, 22)}) {
        DrillAnswer a = answer("A", "A", 400);
        a.at = at;
        batch.answers.emplace_back(QStringLiteral("me"), a);
    }
    RunSummary run;
    run.at = utc(29, 22);
    run.elapsedSeconds = 60;
    run.measuredCpm = 80;
    batch.runs.emplace_back(QStringLiteral("me"), run);
    QVERIFY(store.write(batch));
    const std::vector<DayFigures> days = store.dayFigures(QStringLiteral("me"), QDateTime());
    QCOMPARE(days.size(), size_t(3));
    QCOMPARE(days[0].day, QDate(2026, 3, 28));
    QCOMPARE(days[0].attempts, 1);
    QCOMPARE(days[1].day, QDate(2026, 3, 29));
    QCOMPARE(days[1].attempts, 2);
    QCOMPARE(days[1].runs, 0);
    QCOMPARE(days[2].day, QDate(2026, 3, 30));
    QCOMPARE(days[2].attempts, 1);
    QCOMPARE(days[2].runs, 1);
}

void RecordStoreTest::wholeRecordFromTheTotalsAgreesWithTheEntries() {
    // "Alle" reads the running totals; a period reads the entries. Since the first moment of
    // the epoch, both cover the same entries and must agree on every figure.
    RecordStore store(QStringLiteral(":memory:"));
    QVERIFY2(store.isOpen(), qPrintable(store.error()));
    QRandomGenerator random(4711);
    const QString pool = QStringLiteral("EISHTMO5ÄÖ/ ");
    const auto pick = [&] { return QString(pool[random.bounded(pool.size())]); };
    const QStringList learners = {QStringLiteral("me"), QStringLiteral("du")};
    for (int round = 0; round < 40; ++round) {
        RecordBatch batch;
        const QString& who = learners[round % 2];
        for (int i = 0; i < 30; ++i) {
            DrillAnswer a = answer(pick(), random.bounded(8) == 0 ? QString() : pick(),
                                   200 + random.bounded(900), random.bounded(400));
            a.at = a.at.addSecs(random.bounded(86400));
            a.right = a.asked == a.typed;
            batch.answers.emplace_back(who, a);
        }
        // Checks of a few runs, each checked again now and then: the later replaces the
        // earlier, whose pairs leave the totals.
        const QDateTime run = kNow.addDays(-random.bounded(6));
        std::vector<CopyPair> pairs;
        for (int i = 0; i < 12; ++i) {
            pairs.push_back({random.bounded(10) == 0 ? QString() : pick(), pick()});
        }
        CheckedCopy copy = checkedCopy(run, pairs);
        copy.at = run.addSecs(300 + random.bounded(3600));
        batch.copies.emplace_back(who, copy);
        QVERIFY2(store.write(batch), qPrintable(store.error()));
    }
    const QDateTime epoch = QDateTime::fromMSecsSinceEpoch(0);
    for (const QString& who : learners) {
        QCOMPARE(store.entryCount(who, QDateTime()), store.entryCount(who, epoch));
        QVERIFY(store.entryCount(who, QDateTime()) > 600);
        const auto whole = store.characterFigures(who, QDateTime());
        const auto period = store.characterFigures(who, epoch);
        QCOMPARE(whole.size(), period.size());
        for (size_t i = 0; i < whole.size(); ++i) {
            QCOMPARE(whole[i].character, period[i].character);
            QCOMPARE(whole[i].attempts, period[i].attempts);
            QCOMPARE(whole[i].right, period[i].right);
            QCOMPARE(whole[i].reactionCount, period[i].reactionCount);
            QVERIFY(std::abs(whole[i].meanReactionMs - period[i].meanReactionMs) < 1e-6);
        }
        const auto wholeDays = store.dayFigures(who, QDateTime());
        const auto periodDays = store.dayFigures(who, epoch);
        QCOMPARE(wholeDays.size(), periodDays.size());
        for (size_t i = 0; i < wholeDays.size(); ++i) {
            QCOMPARE(wholeDays[i].day, periodDays[i].day);
            QCOMPARE(wholeDays[i].attempts, periodDays[i].attempts);
            QCOMPARE(wholeDays[i].right, periodDays[i].right);
        }
        const auto wholeConfusions = store.confusions(who, QDateTime(), 1000);
        const auto periodConfusions = store.confusions(who, epoch, 1000);
        QCOMPARE(wholeConfusions.size(), periodConfusions.size());
        QVERIFY(!wholeConfusions.empty());
        for (size_t i = 0; i < wholeConfusions.size(); ++i) {
            QCOMPARE(wholeConfusions[i].sent, periodConfusions[i].sent);
            QCOMPARE(wholeConfusions[i].heard, periodConfusions[i].heard);
            QCOMPARE(wholeConfusions[i].count, periodConfusions[i].count);
        }
    }
}

REGISTER_TEST(RecordStoreTest);
#include "record_store_test.moc"
