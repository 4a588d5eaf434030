#include "engine/speed_units.h"

#include <QTest>

#include "engine/timing.h"
#include "support/registry.h"
#include "support/rig.h"

class SpeedUnitsTest : public QObject {
    Q_OBJECT
private slots:
    void unitsFollowTheTrainersOwnDot();
    void shownAndReadInGerman();
};

void SpeedUnitsTest::unitsFollowTheTrainersOwnDot() {
    TestRig rig;
    rig.startUp();
    // Every speed the arrows reach: WPM is 1200 over the dot the timing really uses.
    for (int cpm = 20; cpm <= 200; ++cpm) {
        rig.s.Speed = static_cast<float>(cpm);
        ComputeTiming();
        QVERIFY(qAbs(WpmAtCpm(cpm) - 1200.0 / rig.s.DotMs) < 1e-3);
        QVERIFY(qAbs(BpmAtCpm(cpm) - 5 * WpmAtCpm(cpm)) < 1e-9);
        QVERIFY(qAbs(CpmAtWpm(WpmAtCpm(cpm)) - cpm) < 1e-3);
    }
    // The course default: 20 WPM is a dot of 60 ms, 77 characters per minute here.
    QVERIFY(qAbs(CpmAtWpm(20) - 77) < 1e-6);
    QVERIFY(qAbs(DotMsAt(77) - 60) < 1e-4);
    QCOMPARE(WpmAtCpm(0), 0.0);
}

void SpeedUnitsTest::shownAndReadInGerman() {
    // 60 cpm: a dot of 77 ms, 15.58 WPM, 77.9 BpM.
    QCOMPARE(SpeedUnitsText(60), QStringLiteral("15,6 WPM · 78 BpM"));
    QCOMPARE(SpeedUnitsWords(60), QStringLiteral("entspricht 15,6 Wörtern pro Minute, 78 BpM"));
    QCOMPARE(SpeedUnitsText(77), QStringLiteral("20,0 WPM · 100 BpM"));
}

REGISTER_TEST(SpeedUnitsTest);
#include "speed_units_test.moc"
