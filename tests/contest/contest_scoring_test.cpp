#include "contest/contest_scoring.h"

#include <QTest>

#include "support/registry.h"

class ContestScoringTest : public QObject {
    Q_OBJECT
private slots:
    void handWorkedScores_data();
    void handWorkedScores();
    void speedSteps();
    void dotLength();
};

void ContestScoringTest::handWorkedScores_data() {
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("bpm");
    QTest::addColumn<bool>("repeated");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<int>("points");
    // 2 × 6 × 100 = 1200 for every right six-character call at 100 BpM.
    QTest::newRow("right") << "DL1ABC"
                           << "DL1ABC" << 100 << false << 0 << 1200;
    QTest::newRow("right, lower case and blanks") << "W1AW"
                                                  << " w1 aw" << 130 << false << 0 << 1040;
    QTest::newRow("one wrong") << "DL1ABC"
                               << "DL1ABD" << 100 << false << 1 << 240;
    QTest::newRow("one missed") << "DL1ABC"
                                << "DL1AB" << 100 << false << 1 << 240;
    QTest::newRow("one extra") << "DL1ABC"
                               << "DL1ABCX" << 100 << false << 1 << 240;
    QTest::newRow("missed inside") << "DL1ABC"
                                   << "D1ABC" << 100 << false << 1 << 240;
    QTest::newRow("two wrong") << "DL1ABC"
                               << "DK1ABD" << 100 << false << 2 << 120;
    QTest::newRow("three wrong") << "DL1ABC"
                                 << "DK2ABD" << 100 << false << 3 << 80;
    QTest::newRow("four wrong") << "DL1ABC"
                                << "DK2XBD" << 100 << false << 4 << 0;
    QTest::newRow("nothing typed") << "DL1ABC"
                                   << "" << 100 << false << 6 << 0;
    // 2 × 5 × 110 = 1100; / 15 = 73.3 → 73; repeated 36.
    QTest::newRow("two wrong of five") << "K1ABC"
                                       << "K2ABX" << 110 << false << 2 << 110;
    QTest::newRow("three wrong of five") << "K1ABC"
                                         << "K2AXX" << 110 << false << 3 << 73;
    QTest::newRow("repeated, three wrong") << "K1ABC"
                                           << "K2AXX" << 110 << true << 3 << 36;
    QTest::newRow("repeated right") << "DL1ABC"
                                    << "DL1ABC" << 100 << true << 0 << 600;
    QTest::newRow("repeated, one wrong") << "DL1ABC"
                                         << "DL1ABD" << 100 << true << 1 << 120;
    QTest::newRow("at the floor") << "DL1ABC"
                                  << "DL1ABC" << 20 << false << 0 << 240;
    QTest::newRow("portable call") << "DL/ON4XYZ"
                                   << "DL/ON4XYZ" << 200 << false << 0 << 3600;
}

void ContestScoringTest::handWorkedScores() {
    QFETCH(QString, sent);
    QFETCH(QString, typed);
    QFETCH(int, bpm);
    QFETCH(bool, repeated);
    QFETCH(int, wrong);
    QFETCH(int, points);
    const ScoredCall scored = ScoreContestCall(sent, typed, bpm, repeated);
    QCOMPARE(scored.wrong, wrong);
    QCOMPARE(scored.points, points);
    QCOMPARE(scored.right(), wrong == 0);
}

void ContestScoringTest::speedSteps() {
    QCOMPARE(NextContestSpeed(100, true), 110);
    QCOMPARE(NextContestSpeed(100, false), 90);
    QCOMPARE(NextContestSpeed(30, false), 20);
    QCOMPARE(NextContestSpeed(20, false), 20);
    QCOMPARE(NextContestSpeed(25, false), 20);
    QCOMPARE(NextContestSpeed(20, true), 30);
    QCOMPARE(NextContestSpeed(kContestHighestBpm, true), kContestHighestBpm);
    // A run of wrong calls from 60 BpM: 50, 40, 30, 20, 20.
    int speed = 60;
    QList<int> seen;
    for (int i = 0; i < 5; ++i) seen << (speed = NextContestSpeed(speed, false));
    QCOMPARE(seen, (QList<int>{50, 40, 30, 20, 20}));
}

void ContestScoringTest::dotLength() {
    // PARIS: 100 BpM = 20 WpM, a dot of 60 ms; 120 BpM = 24 WpM, 50 ms.
    QCOMPARE(ContestDotMs(100), 60.0);
    QCOMPARE(ContestDotMs(120), 50.0);
    QCOMPARE(ContestDotMs(300), 20.0);
}

REGISTER_TEST(ContestScoringTest);
#include "contest_scoring_test.moc"
