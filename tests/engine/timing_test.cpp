#include "engine/morse_table.h"
#include "engine/timing.h"
#include "support/registry.h"
#include "support/rig.h"

#include <QTest>

class TimingTest : public QObject {
    Q_OBJECT
private slots:
    void workedValuesAt60();
};

void TimingTest::workedValuesAt60() {
    TestRig rig;
    rig.startUp();
    ComputeTiming();
    QCOMPARE(rig.s.DotMs, 77.0f);
}

REGISTER_TEST(TimingTest);
#include "timing_test.moc"
