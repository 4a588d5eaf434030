#include "engine/timing.h"
#include "support/registry.h"
#include "support/rig.h"

#include <QTest>

class TimingTest : public QObject {
    Q_OBJECT
private slots:
    void workedValues();
    void relationsOverEverySpeedAndDash();
    void spacingPenalties();
    void labelsAndColour();
    void zeroWaitHandlesNoEvents();
    void shortWaitLastsItsTimeAndHandlesEvents();
};

void TimingTest::workedValues() {
    TestRig rig;
    rig.startUp();
    ComputeTiming();
    QCOMPARE(rig.s.DotMs, 77.0f);
    QCOMPARE(rig.s.DashMs, 231.0f);
    QCOMPARE(rig.s.CharGap, 231.0f);
    QCOMPARE(rig.s.WordGap, 0.231f);
    QCOMPARE(rig.s.EffectiveSpeed, 60.0f);
    QCOMPARE(rig.s.GapUnitMs, rig.s.DotMs);
    QCOMPARE(rig.s.BaseDotMs, rig.s.DotMs);

    rig.s.Speed = 100;
    ComputeTiming();
    QCOMPARE(rig.s.DotMs, 46.2f);

    rig.s.Speed = 60;
    rig.s.CharSpacing = 1.5f;
    ComputeTiming();
    QCOMPARE(rig.s.EffectiveSpeed, 48.12f);
    QCOMPARE(rig.s.CharGap, 346.5f);
}

void TimingTest::relationsOverEverySpeedAndDash() {
    TestRig rig;
    rig.startUp();
    for (int speed = 20; speed <= 200; speed += 5) {
        for (int dash = 30; dash <= 40; ++dash) {
            rig.s.Speed = static_cast<float>(speed);
            rig.f.LT.setValue(dash);
            ComputeTiming();
            const float dot = 77.0f / static_cast<float>(speed) * 60.0f;
            QCOMPARE(rig.s.DotMs, dot);
            QCOMPARE(rig.s.DashMs, dot * static_cast<float>(dash) / 10.0f);
            QCOMPARE(rig.s.CharGap, rig.s.DashMs * rig.s.CharSpacing);
            // The word gap is in seconds, the other durations in milliseconds.
            QCOMPARE(rig.s.WordGap, rig.s.CharGap * rig.s.WordSpacing / 1000.0f);
        }
    }
    // Moving the dash from 30 to 40 lengthens dash and gaps by a third, nothing else.
    rig.s.Speed = 60;
    rig.f.LT.setValue(30);
    ComputeTiming();
    const float dot = rig.s.DotMs, dash = rig.s.DashMs, gap = rig.s.WordGap;
    const float effective = rig.s.EffectiveSpeed;
    rig.f.LT.setValue(40);
    ComputeTiming();
    QCOMPARE(rig.s.DotMs, dot);
    QCOMPARE(rig.s.EffectiveSpeed, effective);
    QCOMPARE(rig.s.DashMs, dash * 4.0f / 3.0f);
    QVERIFY(qAbs(rig.s.WordGap - gap * 4.0f / 3.0f) < 1e-6f);
}

void TimingTest::spacingPenalties() {
    TestRig rig;
    rig.startUp();
    rig.s.CharSpacing = 1.0f;
    rig.s.WordSpacing = 1.0f;
    ComputeTiming();
    QCOMPARE(rig.s.EffectiveSpeed, rig.s.Speed);
    // The penalty jumps at 1: 1.01 already costs about 13 %.
    rig.s.CharSpacing = 1.01f;
    ComputeTiming();
    QVERIFY(rig.s.EffectiveSpeed < 60.0f * 0.87f + 0.1f);
    rig.s.CharSpacing = 1.0f;
    rig.s.WordSpacing = 2.0f;
    ComputeTiming();
    QCOMPARE(rig.s.EffectiveSpeed, 60.0f - 2.0f * 60.0f * 0.026f);
}

void TimingTest::labelsAndColour() {
    TestRig rig;
    rig.startUp();
    rig.s.CharSpacing = 1.5f;
    rig.surface.foreColor = RGB(0, 0, 0);
    ComputeTiming();
    QCOMPARE(rig.f.panschnitt.caption(), QStringLiteral("48,1"));
    QCOMPARE(rig.f.panschnitt.backColor(), RGB(224, 224, 224));
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("60"));
    QCOMPARE(rig.surface.foreColor, RGB(128, 0, 0));
}

void TimingTest::zeroWaitHandlesNoEvents() {
    TestRig rig;
    bool ran = false;
    rig.clock.post([&] { ran = true; });
    WaitSeconds(0);
    WaitSeconds(-1);
    QVERIFY(!ran);
    QCOMPARE(rig.clock.monotonicSeconds(), 0.0);
}

void TimingTest::shortWaitLastsItsTimeAndHandlesEvents() {
    TestRig rig;
    bool ran = false;
    rig.clock.at(0.002, [&] { ran = true; });
    WaitSeconds(0.005f);
    QVERIFY(ran);
    QVERIFY(rig.clock.monotonicSeconds() >= 0.005f);
    QVERIFY(rig.clock.monotonicSeconds() < 0.006);
}

REGISTER_TEST(TimingTest);
#include "timing_test.moc"
