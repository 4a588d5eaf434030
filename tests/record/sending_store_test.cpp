#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "record/record_store.h"
#include "support/registry.h"

namespace {
const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 0));

SendingAttemptEntry Attempt(const QString& intended, const QString& decoded, int daysAgo,
                            int regularity, double cpm) {
    SendingAttemptEntry a;
    a.at = kNow.addDays(-daysAgo);
    a.exercise = QStringLiteral("Nachgeben");
    a.intended = intended;
    a.decoded = decoded;
    for (qsizetype i = 0; i < intended.size(); ++i)
        a.pairs.push_back({intended.mid(i, 1), decoded.mid(i, 1)});
    a.right = intended == decoded;
    a.cpm = cpm;
    a.wpm = cpm / 5;
    a.dashRatio = 3.2;
    for (int i = 0; i < 5; ++i) {
        a.meanPercent[i] = 100 + i;
        a.spreadPercent[i] = 10 + i;
    }
    a.regularity = regularity;
    a.worst = QStringLiteral("K: Strich zu lang");
    a.durationsMs = {231.5, 77, 77.25, 77, 231};
    for (QChar c : decoded) a.characters.push_back({QString(c), c == u'K' ? 40.0 : 10.0});
    a.pitchHz = 700;
    return a;
}
}  // namespace

class SendingStoreTest : public QObject {
    Q_OBJECT
private slots:
    void attemptsComeBackWhole();
    void figuresPerCharacterAndDay();
    void olderRecordGetsTheSendingTables();
};

void SendingStoreTest::attemptsComeBackWhole() {
    RecordStore store(QStringLiteral(":memory:"));
    QVERIFY(store.isOpen());
    RecordBatch batch;
    batch.sendings.emplace_back(QStringLiteral("dl1abc"),
                                Attempt(QStringLiteral("KA"), QStringLiteral("KA"), 0, 80, 60));
    SendingAttemptEntry free = Attempt(QString(), QStringLiteral("E"), 0, 50, 70);
    free.exercise = QStringLiteral("Frei");
    batch.sendings.emplace_back(QStringLiteral("dl1abc"), free);
    batch.sendings.emplace_back(QStringLiteral("other"),
                                Attempt(QStringLiteral("E"), QStringLiteral("T"), 0, 20, 50));
    QVERIFY(store.write(batch));
    // A learner who only keyed is a learner of the record.
    QCOMPARE(store.learners(), QStringList({QStringLiteral("dl1abc"), QStringLiteral("other")}));

    const auto back = store.sendingAttempts(QStringLiteral("dl1abc"), QDateTime());
    QCOMPARE(back.size(), size_t(2));
    const SendingAttemptEntry& a = back[0];
    const SendingAttemptEntry want = batch.sendings[0].second;
    QCOMPARE(a.at, want.at);
    QCOMPARE(a.exercise, want.exercise);
    QCOMPARE(a.intended, want.intended);
    QCOMPARE(a.decoded, want.decoded);
    QVERIFY(a.right);
    QCOMPARE(a.pairs.size(), size_t(2));
    QCOMPARE(a.pairs[1].sent, QStringLiteral("A"));
    QCOMPARE(a.pairs[1].copied, QStringLiteral("A"));
    QCOMPARE(a.cpm, 60.0);
    QCOMPARE(a.dashRatio, 3.2);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(a.meanPercent[i], want.meanPercent[i]);
        QCOMPARE(a.spreadPercent[i], want.spreadPercent[i]);
    }
    QCOMPARE(a.regularity, 80);
    QCOMPARE(a.worst, want.worst);
    // Every duration to the last digit kept, in order.
    QCOMPARE(a.durationsMs, want.durationsMs);
    QCOMPARE(a.characters.size(), size_t(2));
    QCOMPARE(a.characters[0].character, QStringLiteral("K"));
    QCOMPARE(a.characters[0].departurePercent, 40.0);
    QCOMPARE(a.pitchHz, 700.0);
    QVERIFY(back[1].intended.isEmpty());
    QVERIFY(back[1].pairs.empty());
}

void SendingStoreTest::figuresPerCharacterAndDay() {
    RecordStore store(QStringLiteral(":memory:"));
    RecordBatch batch;
    const QString me = QStringLiteral("dl1abc");
    batch.sendings.emplace_back(me, Attempt(QStringLiteral("KA"), QStringLiteral("KA"), 0, 80, 60));
    batch.sendings.emplace_back(me, Attempt(QStringLiteral("KA"), QStringLiteral("KN"), 0, 60, 70));
    batch.sendings.emplace_back(me, Attempt(QStringLiteral("K"), QStringLiteral("K"), 3, 40, 50));
    batch.sendings.emplace_back(QStringLiteral("other"),
                                Attempt(QStringLiteral("K"), QStringLiteral("R"), 0, 10, 90));
    QVERIFY(store.write(batch));

    const auto chars = store.sendingCharacterFigures(me, QDateTime());
    QCOMPARE(chars.size(), size_t(3));  // A, K, and N (keyed, never intended)
    QCOMPARE(chars[0].character, QStringLiteral("A"));
    QCOMPARE(chars[0].attempts, 2);
    QCOMPARE(chars[0].right, 1);
    QCOMPARE(chars[1].character, QStringLiteral("K"));
    QCOMPARE(chars[1].attempts, 3);
    QCOMPARE(chars[1].right, 3);
    QCOMPARE(chars[1].meanDeparturePercent, 40.0);
    QCOMPARE(chars[1].timed, 3);
    QCOMPARE(chars[2].character, QStringLiteral("N"));
    QCOMPARE(chars[2].attempts, 0);
    QCOMPARE(chars[2].timed, 1);
    // The period leaves the older day out.
    const auto recent = store.sendingCharacterFigures(me, kNow.addDays(-1));
    QCOMPARE(recent[1].attempts, 2);

    const auto days = store.sendingDayFigures(me, QDateTime());
    QCOMPARE(days.size(), size_t(2));
    QCOMPARE(days[0].day, kNow.date().addDays(-3));
    QCOMPARE(days[0].attempts, 1);
    QCOMPARE(days[1].attempts, 2);
    QCOMPARE(days[1].meanRegularity, 70.0);
    QCOMPARE(days[1].meanCpm, 65.0);
}

void SendingStoreTest::olderRecordGetsTheSendingTables() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lernstand.sqlite"));
    {
        RecordStore store(path);
        QVERIFY(store.isOpen());
        QSqlQuery q(store.database());
        for (const char* sql : {"DROP TABLE sending_timing", "DROP TABLE sending_pairs",
                                "DROP TABLE sending_attempts", "PRAGMA user_version = 5"})
            QVERIFY2(q.exec(QString::fromLatin1(sql)), sql);
    }
    RecordStore store(path);
    QVERIFY2(store.isOpen(), qPrintable(store.error()));
    RecordBatch batch;
    batch.sendings.emplace_back(QStringLiteral("dl1abc"),
                                Attempt(QStringLiteral("E"), QStringLiteral("E"), 0, 90, 60));
    QVERIFY(store.write(batch));
    QCOMPARE(store.sendingAttempts(QStringLiteral("dl1abc"), QDateTime()).size(), size_t(1));
    QSqlQuery version(store.database());
    QVERIFY(version.exec(QStringLiteral("PRAGMA user_version")) && version.next());
    QCOMPARE(version.value(0).toInt(), 6);
}

REGISTER_TEST(SendingStoreTest);
#include "sending_store_test.moc"
