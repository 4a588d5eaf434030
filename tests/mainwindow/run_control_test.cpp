#include "mainwindow/run_control.h"

#include <QTest>

#include "engine/run_frame.h"
#include "engine/timing.h"
#include "support/registry.h"
#include "support/rig.h"
#include "support/run_helpers.h"

class RunControlTest : public QObject {
    Q_OBJECT
private slots:
    void startSetsCountAndButtons();
    void pauseHoldsSendingAndClockThenStop();
    void stopWhilePausedEndsTheRun();
    void effectsRestoredAfterARunNotAfterAStop();
    void spacingStepAndPitchAtStart();
    void startAfterStopWaitsForTheStoppedRun();
    void startRefusedWhileBlocked();
    void stopWhileReadingAloudOnlyEndsTheReading();
    void exitEndsTheProgramDuringARun();
    void clearAndTestPreamble();
    void runAcrossMidnightCountsOn();
    void testPreambleLeavesRunsAndSettingsAlone();
    void secondStopCancelsAWaitingStart();
};

void RunControlTest::startSetsCountAndButtons() {
    TestRig rig;
    rig.startUp();
    bool checked = false;
    rig.clock.at(8.0, [&] {
        QVERIFY(!rig.f.Comstart.enabled());
        QVERIFY(!rig.f.comexit.enabled());
        QVERIFY(rig.f.comstop.enabled());
        QVERIFY(rig.f.compause.enabled());
        QVERIFY(rig.f.Timer2.isEnabled());
        checked = true;
    });
    rig.f.L_Anz.setCaption(QStringLiteral("12"));
    rig.s.GroupCount = 3;
    rig.f.Comstart.click();
    QVERIFY(checked);
    QCOMPARE(rig.s.GroupCount, 12.0f);
    QCOMPARE(rig.f.PB1.max(), 60);
    QVERIFY(rig.f.Comstart.enabled());
    QVERIFY(!rig.f.compause.enabled());
    QVERIFY(!rig.f.comstop.enabled());
}

void RunControlTest::pauseHoldsSendingAndClockThenStop() {
    TestRig rig;
    rig.startUp();
    int sentAtPause = -1, sentBeforeContinue = -1, sentAtStop = -1;
    QString minutesAtPause;
    rig.clock.at(5.0, [&] {
        rig.f.compause.click();
        sentAtPause = rig.s.SentText.size();
        minutesAtPause = rig.f.Minuten.caption();
        QCOMPARE(rig.f.compause.face(), QStringLiteral("weiter"));
    });
    rig.clock.at(20.0, [&] {
        sentBeforeContinue = rig.s.SentText.size();
        QCOMPARE(rig.f.Minuten.caption(), minutesAtPause);  // the run clock stands still
        rig.f.compause.click();
        QCOMPARE(rig.f.compause.face(), QStringLiteral("pause"));
    });
    rig.clock.at(24.0, [&] {
        rig.f.comstop.click();
        sentAtStop = rig.s.SentText.size();
    });
    rig.f.Comstart.click();
    // At most the character in progress finishes after pause and stop.
    QVERIFY(sentBeforeContinue - sentAtPause <= 1);
    QVERIFY(rig.s.SentText.size() - sentAtStop <= 1);
    QVERIFY(!rig.s.SentText.endsWith(u' ') || rig.s.SentText.size() == sentAtStop);
    QVERIFY(rig.s.SentText.size() < 72);
    // No statistics: no closing sign, the buttons as stop left them, the clock still running.
    QVERIFY(rig.surface.pieces().back().text != QStringLiteral("+"));
    QVERIFY(rig.f.compause.enabled());
    QVERIFY(rig.f.comstop.enabled());
    QVERIFY(rig.f.Comstart.enabled());
    QVERIFY(rig.f.Timer2.isEnabled());
    QVERIFY(rig.s.StopRequested);
}

void RunControlTest::stopWhilePausedEndsTheRun() {
    TestRig rig;
    rig.startUp();
    int sentAtStop = -1;
    bool stillPaused = false;
    rig.clock.at(5.0, [&] { rig.f.compause.click(); });
    rig.clock.at(10.0, [&] {
        rig.f.comstop.click();
        sentAtStop = rig.s.SentText.size();
    });
    // Should the run still hang in its pause, release it so that the test fails, not hangs.
    rig.clock.at(60.0, [&] {
        stillPaused = rig.s.Paused;
        if (stillPaused) rig.f.compause.click();
    });
    rig.f.Comstart.click();
    QVERIFY(!stillPaused);
    QVERIFY(!rig.s.Paused);
    QVERIFY(rig.s.StopRequested);
    QCOMPARE(rig.f.compause.face(), QStringLiteral("pause"));
    QVERIFY(rig.s.SentText.size() - sentAtStop <= 1);  // at most the character held in the pause
    QVERIFY(rig.surface.pieces().back().text != QStringLiteral("+"));
}

void RunControlTest::effectsRestoredAfterARunNotAfterAStop() {
    auto arm = [](TestRig& rig) {
        rig.startUp();
        rig.f.anziehen2.setValue(1);
        rig.f.O_Verkl.setValue(1);
        rig.f.tonschwank.setValue(1);
        rig.s.CharSpacing = 2.0f;
        rig.f.L_Abst.setCaption(QStringLiteral("2,0"));
        ComputeTiming();
    };
    {
        TestRig rig;
        arm(rig);
        rig.f.Comstart.click();
        QCOMPARE(rig.s.Speed, 60.0f);
        QCOMPARE(rig.s.CharSpacing, 2.0f);
        QCOMPARE(rig.s.TonePitch, 800.0f);
        QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("60"));
        QCOMPARE(rig.f.L_Abst.caption(), QStringLiteral("2,0"));
        QCOMPARE(rig.f.L_Ton.caption(), QStringLiteral("800"));
    }
    {
        TestRig rig;
        arm(rig);
        rig.clock.at(30.0, [&] { rig.f.comstop.click(); });
        rig.f.Comstart.click();
        QVERIFY(rig.s.Speed > 60.0f);
        QVERIFY(rig.s.CharSpacing < 2.0f);
        QVERIFY(rig.s.TonePitch != 800.0f);
    }
}

void RunControlTest::spacingStepAndPitchAtStart() {
    TestRig rig;
    rig.startUp();
    rig.f.O_Verkl.setValue(1);
    rig.s.CharSpacing = 2.0f;
    rig.s.SavedPitch = 700;
    rig.f.tonschwank.setValue(1);  // its handler takes the pitch now: 800
    rig.s.TonePitch = 900;
    rig.s.PitchDrift = 5;
    rig.clock.at(0.5, [&] {
        QCOMPARE(rig.s.SpacingStep, (1.0f / 12.0f) * 0.1f);
        QCOMPARE(rig.s.SavedCharSpacing, 2.0f);
        QCOMPARE(rig.s.BasePitch, 800.0f);
        QCOMPARE(rig.f.L_Ton.caption(), QStringLiteral("800"));
        rig.f.comstop.click();
    });
    rig.f.Comstart.click();
}

void RunControlTest::startAfterStopWaitsForTheStoppedRun() {
    TestRig rig(9);
    rig.startUp();
    int runs = 0;
    rig.clock.at(10.0, [&] {
        rig.f.comstop.click();
        // Pressed at once, while the stopped run still finishes its character.
        rig.f.Comstart.click();
        QVERIFY(!rig.f.Comstart.enabled());
    });
    QObject::connect(&rig.f.panschnitt, &Control::changed, [&] {
        if (rig.f.panschnitt.backColor() == RGB(255, 255, 255)) ++runs;
    });
    rig.f.Comstart.click();
    // The second run ran alone and to its end: nothing of the first one came after it.
    QCOMPARE(runs, 1);
    QCOMPARE(rig.s.SentText.size(), 72);
    QCOMPARE(rig.surface.pieces().back().text, QStringLiteral("+"));
    QVERIFY(rig.f.Comstart.enabled());
}

void RunControlTest::startRefusedWhileBlocked() {
    TestRig rig;
    rig.startUp();
    rig.s.RunAllowed = false;
    rig.s.ElementCount = 5;
    rig.f.Comstart.click();
    QCOMPARE(rig.s.ElementCount, 0);
    QVERIFY(rig.s.SentText.isEmpty());
    QCOMPARE(rig.clock.monotonicSeconds(), 0.0);
}

void RunControlTest::stopWhileReadingAloudOnlyEndsTheReading() {
    TestRig rig;
    rig.startUp();
    rig.s.ReadingAloud = true;
    rig.f.PB1.setValue(10);
    rig.f.Comstart.setEnabled(false);
    rig.f.comstop.click();
    QVERIFY(!rig.s.ReadingAloud);
    QCOMPARE(rig.f.PB1.value(), 10);
    QVERIFY(!rig.f.Comstart.enabled());
    QVERIFY(!rig.s.StopRequested);
}

void RunControlTest::exitEndsTheProgramDuringARun() {
    TestRig rig;
    rig.startUp();
    int exits = 0;
    Platform().exitProgram = [&] {
        ++exits;
        rig.f.comstop.click();  // the test's stand-in for the end of the process
    };
    rig.clock.at(4.0, [&] { rig.f.comexit.click(); });
    rig.f.Comstart.click();
    QCOMPARE(exits, 1);
    QCOMPARE(rig.f.comexit.caption(), QStringLiteral("Warten"));
}

void RunControlTest::clearAndTestPreamble() {
    TestRig rig;
    rig.startUp();
    rig.f.COM_vvv.click();
    QVERIFY(qAbs(rig.clock.monotonicSeconds() - ExpectedSendingSeconds(QStringLiteral("VVV * "))) <
            1e-3);
    QVERIFY(rig.s.SentText.isEmpty());
    QCOMPARE(rig.s.SentCount, 0);
    rig.s.SentCount = 17;
    rig.f.comloe.click();
    QVERIFY(rig.surface.pieces().empty());
    QCOMPARE(rig.s.SentCount, 0);
    QCOMPARE(rig.surface.CurrentX, rig.f.shape1.Left + 200);
    QCOMPARE(rig.surface.CurrentY, rig.f.shape1.Top + 50);
}

void RunControlTest::runAcrossMidnightCountsOn() {
    TestRig rig;
    rig.clock.advance(14 * 3600.0 - 20);  // from 10:00 to 23:59:40
    rig.startUp();
    const auto number = [](QString caption) { return caption.replace(u',', u'.').toDouble(); };
    const double start = rig.clock.monotonicSeconds();
    double during = -1, end = 0;
    int played = 0;
    rig.clock.at(start + 40.5, [&] { during = number(rig.f.Minuten.caption()); });
    QObject::connect(&rig.f.panschnitt, &Control::changed, [&] {
        if (rig.f.panschnitt.backColor() != RGB(255, 255, 255)) return;
        end = rig.clock.monotonicSeconds();
        played = rig.s.PlayedCount;
    });
    rig.f.Comstart.click();
    // The run clock starts when the preamble has been sent.
    const double elapsed = end - start - ExpectedSendingSeconds(QStringLiteral("VVV * "));
    QVERIFY(elapsed > 60);
    QVERIFY(qAbs(during - (40.5 - (end - start - elapsed))) < 1.0);
    QVERIFY(qAbs(number(rig.f.Minuten.caption()) - elapsed) < 0.1);
    QVERIFY(qAbs(number(rig.f.panschnitt.caption()) - played / elapsed * 60) < 0.1);
}

void RunControlTest::testPreambleLeavesRunsAndSettingsAlone() {
    TestRig rig;
    rig.startUp();
    rig.f.anziehen2.setValue(1);
    rig.s.CharSpacing = 2.0f;
    rig.f.L_Abst.setCaption(QStringLiteral("2,0"));
    ComputeTiming();

    // On its own: speeds, spacing and the seconds display are as before.
    rig.f.COM_vvv.click();
    QCOMPARE(rig.s.Speed, 60.0f);
    QCOMPARE(rig.s.CharSpacing, 2.0f);
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("60"));
    QVERIFY(!rig.f.Timer2.isEnabled());
    QVERIFY(rig.f.COM_vvv.enabled());

    // Start pressed while it sounds waits for its end; the run keeps the user's spacing.
    float spacingInRun = 0;
    const double start = rig.clock.monotonicSeconds();
    rig.clock.at(start + 1.0, [&] { rig.f.Comstart.click(); });
    rig.clock.at(start + 20.0, [&] {
        spacingInRun = rig.s.CharSpacing;
        // During a run the test preamble is greyed and does nothing.
        QVERIFY(!rig.f.COM_vvv.enabled());
        rig.f.COM_vvv.click();
    });
    rig.f.COM_vvv.click();
    QVERIFY(spacingInRun > 1.9f);
    QCOMPARE(rig.s.SentText.size(), 72);
    QVERIFY(!rig.s.SentText.contains(QStringLiteral("  ")));
    QCOMPARE(rig.s.Speed, 60.0f);
    QCOMPARE(rig.s.CharSpacing, 2.0f);
    QCOMPARE(rig.f.L_Abst.caption(), QStringLiteral("2,0"));
    QVERIFY(rig.f.COM_vvv.enabled());
}

void RunControlTest::secondStopCancelsAWaitingStart() {
    TestRig rig(9);
    rig.startUp();
    rig.clock.at(10.0, [&] {
        rig.f.comstop.click();
        rig.f.Comstart.click();  // waits for the character in progress
        rig.f.comstop.click();
    });
    rig.f.Comstart.click();
    QVERIFY(rig.s.SentText.size() < 20);
    QVERIFY(rig.surface.pieces().back().text != QStringLiteral("+"));
    QVERIFY(rig.f.Comstart.enabled());
}

REGISTER_TEST(RunControlTest);
#include "run_control_test.moc"
