#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include "../drills/drill_script.h"
#include "record/record_database.h"
#include "record/record_store.h"
#include "record/record_writer.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
// A record file of its own for one test, installed as the program's sink.
struct RecordRig {
    RecordRig() : writer(dir.filePath(QStringLiteral("lernstand.sqlite")), QStringLiteral("ich")) {
        PrepareRecordDatabase(writer.path(), QDate(2026, 12, 9));
        Platform().record = &writer;
    }
    ~RecordRig() { Platform().record = nullptr; }
    QTemporaryDir dir;
    RecordWriter writer;
};

QList<QVariantList> select(const QString& path, const QString& sql) {
    RecordStore store(path);
    QSqlQuery q(store.database());
    QList<QVariantList> out;
    if (!q.exec(sql)) {
        qWarning("%s", qPrintable(q.lastError().text()));
        return out;
    }
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i) row << q.value(i);
        out << row;
    }
    return out;
}
}  // namespace

class RecordingTest : public QObject {
    Q_OBJECT
private slots:
    void drillAnswersComeBackWithTheirReactionTime();
    void completedAndStoppedRunsComeBack();
};

void RecordingTest::drillAnswersComeBackWithTheirReactionTime() {
    TestRig rig;
    RecordRig record;
    rig.startUp();
    rig.s.ExerciseText = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    rig.s.ExerciseKind = QStringLiteral("B");
    DrillUser user(rig);
    user.key(' ', 1.0).right(2).wrong().right().giveUp().enter().key('x');
    rig.f.COM_FA.click();
    QVERIFY(!user.ranOut);
    record.writer.flush();

    const auto rows = select(record.writer.path(),
                             QStringLiteral("SELECT learner, asked, typed, right, reaction_ms,"
                                            " speed_cpm, at_ms FROM answers ORDER BY id"));
    QCOMPARE(rows.size(), 5);
    // The key comes 0.3 s after the character has sounded; the character's last element ended
    // a dot of silence, the character gap and another dot before that.
    const int expectedMs = qRound(300 + 2 * rig.s.DotMs + rig.s.CharGap);
    const QStringList typed{user.asked[0], user.asked[1], QStringLiteral("#"), user.asked[3],
                            QStringLiteral(" ")};
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i][0].toString(), QStringLiteral("ich"));
        QCOMPARE(rows[i][1].toString(), user.asked[i]);
        QCOMPARE(rows[i][2].toString(), typed[i]);
        QCOMPARE(rows[i][3].toInt(), i == 2 || i == 4 ? 0 : 1);
        QVERIFY2(qAbs(rows[i][4].toInt() - expectedMs) <= 1, qPrintable(rows[i][4].toString()));
        QCOMPARE(rows[i][5].toDouble(), double(rig.s.Speed));
        QVERIFY(rows[i][6].toLongLong() >= rig.clock.now().addSecs(-600).toMSecsSinceEpoch());
    }
    QCOMPARE(user.asked[2], user.asked[3]);  // the wrong answer was asked again
}

void RecordingTest::completedAndStoppedRunsComeBack() {
    TestRig rig;
    RecordRig record;
    rig.startUp();
    rig.f.L_Anz.setCaption(QStringLiteral("2"));
    rig.f.Comstart.click();
    const float measured = rig.s.EffectiveSpeed;
    rig.clock.at(rig.clock.monotonicSeconds() + 15.0, [&] { rig.f.comstop.click(); });
    rig.f.L_Anz.setCaption(QStringLiteral("12"));
    rig.f.Comstart.click();
    record.writer.flush();

    const auto rows = select(record.writer.path(),
                             QStringLiteral("SELECT kind, group_count, characters_sent, elapsed_s,"
                                            " measured_cpm, completed FROM runs ORDER BY id"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][0].toString(), QStringLiteral("Z"));
    QCOMPARE(rows[0][1].toInt(), 2);
    QCOMPARE(rows[0][2].toInt(), 10);
    QVERIFY(rows[0][3].toDouble() > 0);
    QVERIFY(qAbs(rows[0][4].toDouble() - measured) < 0.01);
    QCOMPARE(rows[0][5].toInt(), 1);
    QCOMPARE(rows[1][1].toInt(), 12);
    QCOMPARE(rows[1][5].toInt(), 0);
    QVERIFY(rows[1][2].toInt() > 0 && rows[1][2].toInt() < 60);
    QVERIFY(rows[1][3].toDouble() > 0 && rows[1][3].toDouble() < 15.0);
}

REGISTER_TEST(RecordingTest);
#include "recording_test.moc"
