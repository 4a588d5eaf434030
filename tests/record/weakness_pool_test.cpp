#include "record/weakness_pool.h"

#include <QTest>

#include "exercises/weakness_exercise.h"
#include "mainwindow/run_control.h"
#include "record/record_store.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
CharacterFigures figures(const QString& c, int attempts, int right, double reactionMs) {
    CharacterFigures f;
    f.character = c;
    f.attempts = attempts;
    f.right = right;
    f.meanReactionMs = reactionMs;
    f.reactionCount = right;
    return f;
}
}  // namespace

class WeaknessPoolTest : public QObject {
    Q_OBJECT
private slots:
    void weakCharactersComeTwiceAsOftenUnderTheGroupRules();
    void tooLittleRecordKeepsThePool();
};

void WeaknessPoolTest::weakCharactersComeTwiceAsOftenUnderTheGroupRules() {
    // K is missed half of the time and slow; B was heard as 6; the rest are known well.
    std::vector<CharacterFigures> record;
    for (const QString& c : QStringList{"A", "E", "I", "M", "N", "O", "S", "T"})
        record.push_back(figures(c, 40, 40, 500));
    record.push_back(figures(QStringLiteral("K"), 40, 20, 1200));
    record.push_back(figures(QStringLiteral("B"), 40, 30, 600));
    record.push_back(figures(QStringLiteral("Ä"), 5, 0, 0));  // no Morse sign here: left out
    const QString pool = WeightedPool(record, {{QStringLiteral("B"), QStringLiteral("6"), 10}});
    QVERIFY(!pool.contains(u'Ä'));
    QCOMPARE(pool.count(u'6'), pool.count(u'B'));

    TestRig rig(11);
    rig.startUp();
    rig.f.Ohr.setValue(0);  // the same draws without sound time
    rig.f.Auge.setValue(0);
    rig.s.ExerciseKind = QStringLiteral("W");
    rig.s.ExerciseText = pool;
    rig.f.L_Anz.setCaption(QStringLiteral("2000"));
    rig.f.Comstart.click();

    const QString text = rig.s.SentText;
    const QStringList groups = text.split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(groups.size(), 2000);
    for (const QString& g : groups) QCOMPARE(g.size(), 5);
    const QString letters = QString(text).remove(u' ');
    QCOMPARE(letters.size(), 10000);
    for (int i = 1; i < letters.size(); ++i) QVERIFY(letters[i] != letters[i - 1]);
    const double weak = letters.count(u'K');
    const double strong = letters.count(u'E');
    QVERIFY2(weak >= 2 * strong, qPrintable(QStringLiteral("K %1, E %2").arg(weak).arg(strong)));
    QVERIFY(letters.count(u'6') >= 1.5 * strong);
}

void WeaknessPoolTest::tooLittleRecordKeepsThePool() {
    TestRig rig;
    rig.startUp();
    RecordStore store(QStringLiteral(":memory:"));
    RecordBatch batch;
    for (int i = 0; i < 49; ++i) {
        DrillAnswer a;
        a.at = rig.clock.now();
        a.asked = QStringLiteral("K");
        a.typed = QStringLiteral("R");
        batch.answers.emplace_back(QStringLiteral("ich"), a);
    }
    QVERIFY(store.write(batch));
    const QString before = rig.s.ExerciseText;
    ApplyWeaknessChoice(ChooseWeaknessPool(store, QStringLiteral("ich"), rig.clock.now()));
    QCOMPARE(rig.s.ExerciseText, before);
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("W"));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(rig.dialogs.messages[0].contains(QStringLiteral("49 von 50")));

    batch.answers.resize(1);
    QVERIFY(store.write(batch));
    ApplyWeaknessChoice(ChooseWeaknessPool(store, QStringLiteral("ich"), rig.clock.now()));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY(rig.s.ExerciseText.contains(u'K') && rig.s.ExerciseText.contains(u'R'));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Schwächen üben"));
}

REGISTER_TEST(WeaknessPoolTest);
#include "weakness_pool_test.moc"
