#include "mainwindow/startup.h"

#include <QTest>

#include "engine/morse_table.h"
#include "support/registry.h"
#include "support/rig.h"

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void valuesWithoutSettingsFile();
    void characterSetsBeforeActivation();
    void activationAndClock();
};

void StartupTest::valuesWithoutSettingsFile() {
    TestRig rig;
    rig.startUp();
    QCOMPARE(rig.s.Speed, 60.0f);
    QCOMPARE(rig.s.StartSpeed, 60.0f);
    QCOMPARE(rig.s.TonePitch, 800.0f);
    QCOMPARE(rig.s.SavedPitch, int16_t(800));
    QCOMPARE(rig.s.GroupCount, 12.0f);
    QCOMPARE(rig.s.GroupCountInt, int16_t(12));
    QCOMPARE(rig.s.CharSpacing, 1.0f);
    QCOMPARE(rig.s.WordSpacing, 1.0f);
    QCOMPARE(rig.s.ExerciseKind, QStringLiteral("Z"));
    QCOMPARE(rig.s.PitchDrift, -2.6f);
    QCOMPARE(rig.s.PrintAfterRun, int16_t(0));
    QVERIFY(rig.s.RunAllowed);
    QCOMPARE(rig.f.Ohr.value(), 1);
    QCOMPARE(rig.f.Auge.value(), 1);
    QCOMPARE(rig.f.Mund.value(), 0);
    for (CheckBox* box :
         {&rig.f.O_Verkl, &rig.f.unsauber, &rig.f.tonschwank, &rig.f.anziehen1, &rig.f.anziehen2})
        QCOMPARE(box->value(), 0);
    QVERIFY(!rig.f.Timer2.isEnabled());
    QVERIFY(rig.f.Timer_Uhrzeit.isEnabled());
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("60"));
    QCOMPARE(rig.f.panschnitt.caption(), QStringLiteral("60,0"));
    QCOMPARE(rig.f.panschnitt.backColor(), RGB(224, 224, 224));
    QCOMPARE(rig.f.L_Ton.caption(), QStringLiteral("800"));
    QCOMPARE(rig.f.L_Anz.caption(), QStringLiteral("12"));
    QCOMPARE(rig.f.L_Abst.caption(), QStringLiteral("1,0  "));
    QCOMPARE(rig.f.L_WAbst.caption(), QStringLiteral("1,0"));
    QCOMPARE(rig.f.UpDownGesch.value(), 60);
    QCOMPARE(rig.s.ZeroGlyph, QStringLiteral("Ø"));
    QCOMPARE(rig.s.ElementBuffer.size(), size_t(100));
    QCOMPARE(rig.s.MorseTable[MorseIndex(u'A')], QStringLiteral(".-"));
    QCOMPARE(rig.f.Comstart.enabled(), true);
    QCOMPARE(rig.f.compause.enabled(), false);
    QCOMPARE(rig.f.comstop.enabled(), false);
    QCOMPARE(rig.f.comexit.enabled(), true);
}

void StartupTest::characterSetsBeforeActivation() {
    TestRig rig;
    Form_Initialize();
    Form_Load();
    QCOMPARE(rig.s.ExerciseText, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890=.,?/"));
    QCOMPARE(rig.s.Letters.size(), 26);
    QCOMPARE(rig.s.Digits, QStringLiteral("1234567890"));
    QCOMPARE(rig.s.Punctuation, QStringLiteral("=.,?/"));
}

void StartupTest::activationAndClock() {
    TestRig rig;
    rig.startUp();
    QCOMPARE(rig.f.Datum0.caption(), QStringLiteral("09.12.26"));
    QCOMPARE(rig.f.Datum1.caption(), QStringLiteral("10:00"));
    QCOMPARE(rig.f.fuer.caption(), QStringLiteral(" Version 1.0"));
    // The clock label follows the minute within a second.
    rig.clock.advance(60.5);
    QCOMPARE(rig.f.Datum1.caption(), QStringLiteral("10:01"));
    rig.clock.advance(3600);
    QCOMPARE(rig.f.Datum1.caption(), QStringLiteral("11:01"));
}

REGISTER_TEST(StartupTest);
#include "startup_test.moc"
