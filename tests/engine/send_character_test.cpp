#include "engine/send_character.h"
#include "engine/timing.h"
#include "support/registry.h"
#include "support/rig.h"

#include <QTest>

namespace {
void send(const QString& c) {
    S().CurrentChar = c;
    SendCharacter();
}

// A trainer after start-up with a run under way (no preamble): recording on, timing computed.
struct Sending : TestRig {
    Sending() {
        startUp();
        s.NormalRun = true;
        s.SentCount = 0;
        s.SentText.clear();
        ComputeTiming();
        surface.CurrentX = f.shape1.Left + 300;
        surface.CurrentY = f.shape1.Top + 120;
        wave.played.clear();
    }
};
}  // namespace

class SendCharacterTest : public QObject {
    Q_OBJECT
private slots:
    void recordsAndEchoesInCapitals();
    void zeroShowsTheSlashedGlyph();
    void blankIsAWordGap();
    void soundTakesTheElementDurations();
    void extraPauseAboveNormalSpacing();
    void withoutSoundNothingWaitsOrMoves();
    void withoutTextNothingIsPrinted();
    void progressBarStopsAtItsMaximum();
    void speedIncreaseWithoutRunLengthLeavesSpeed();
    void speedIncreaseSpreadsOverTheRun();
    void narrowingStopsAtOnePointOne();
    void sloppyKeyingStaysInItsBand();
    void toneFluctuationSwingsAroundTheBase();
    void spokenCharacterAfterItsLeadIn();
    void pauseHoldsTheCharacter();
};

void SendCharacterTest::recordsAndEchoesInCapitals() {
    Sending rig;
    send(QStringLiteral("a"));
    send(QStringLiteral("\\"));
    QCOMPARE(rig.s.SentText, QStringLiteral("A/"));
    QCOMPARE(rig.s.SentCount, 2);
    QCOMPARE(rig.surface.visibleText(), QStringLiteral("A/"));
    QCOMPARE(rig.s.PlayedCount, 2);
}

void SendCharacterTest::zeroShowsTheSlashedGlyph() {
    Sending rig;
    send(QStringLiteral("0"));
    QCOMPARE(rig.surface.visibleText(), QStringLiteral("Ø"));
    QCOMPARE(rig.s.SentText, QStringLiteral("0"));
    // Outside a normal run (the drill) nothing is echoed.
    rig.s.NormalRun = false;
    send(QStringLiteral("0"));
    send(QStringLiteral("E"));
    QCOMPARE(rig.surface.visibleText(), QStringLiteral("Ø"));
    QCOMPARE(rig.s.SentText, QStringLiteral("00E"));
}

void SendCharacterTest::blankIsAWordGap() {
    Sending rig;
    const double before = rig.clock.monotonicSeconds();
    send(QStringLiteral(" "));
    QVERIFY(qAbs(rig.clock.monotonicSeconds() - before - rig.s.WordGap) < 1e-6);
    QCOMPARE(rig.surface.visibleText(), QStringLiteral("  "));
    QCOMPARE(rig.s.SentText, QStringLiteral(" "));
    QCOMPARE(rig.s.PlayedCount, 0);
    rig.s.NormalRun = false;
    send(QStringLiteral(" "));
    QCOMPARE(rig.surface.visibleText(), QStringLiteral("   "));
}

void SendCharacterTest::soundTakesTheElementDurations() {
    Sending rig;
    const double before = rig.clock.monotonicSeconds();
    send(QStringLiteral("A"));
    // dot, gap, dash, gap, character gap, gap: 77 + 77 + 231 + 77 + 231 + 77 ms
    QVERIFY(qAbs(rig.clock.monotonicSeconds() - before - 0.770) < 1.0 / 48000);
    QCOMPARE(rig.s.PlayedCount, 1);
}

void SendCharacterTest::extraPauseAboveNormalSpacing() {
    Sending rig;
    rig.s.CharSpacing = 1.5f;
    ComputeTiming();
    const double before = rig.clock.monotonicSeconds();
    send(QStringLiteral("E"));
    const double sound = (77 + 77 + 346.5 + 77) / 1000.0;
    const double extra = 77 / 1000.0 * 0.5;
    QVERIFY(qAbs(rig.clock.monotonicSeconds() - before - sound - extra) < 2.0 / 48000);
}

void SendCharacterTest::withoutSoundNothingWaitsOrMoves() {
    Sending rig;
    rig.f.Ohr.setValue(0);
    rig.f.anziehen2.setValue(1);
    rig.s.RunGroupCount = 12;
    rig.f.PB1.setMax(60);
    send(QStringLiteral("B"));
    send(QStringLiteral(" "));
    QCOMPARE(rig.clock.monotonicSeconds(), 0.0);
    QCOMPARE(rig.s.Speed, 60.0f);
    QCOMPARE(rig.f.PB1.value(), 0);
    QCOMPARE(rig.s.PlayedCount, 0);
    QCOMPARE(rig.s.SentText, QStringLiteral("B "));
    QCOMPARE(rig.surface.visibleText(), QStringLiteral("B  "));
}

void SendCharacterTest::withoutTextNothingIsPrinted() {
    Sending rig;
    rig.f.Auge.setValue(0);
    send(QStringLiteral("K"));
    send(QStringLiteral(" "));
    QVERIFY(rig.surface.pieces().empty());
    QCOMPARE(rig.s.SentText, QStringLiteral("K "));
}

void SendCharacterTest::progressBarStopsAtItsMaximum() {
    Sending rig;
    rig.f.PB1.setMax(3);
    for (int i = 0; i < 5; ++i) send(QStringLiteral("E"));
    QCOMPARE(rig.f.PB1.value(), 3);
    // The preamble and a blocked run do not move it.
    rig.f.PB1.setValue(0);
    rig.s.InPreamble = true;
    send(QStringLiteral("E"));
    rig.s.InPreamble = false;
    rig.s.RunAllowed = false;
    send(QStringLiteral("E"));
    QCOMPARE(rig.f.PB1.value(), 0);
}

void SendCharacterTest::speedIncreaseWithoutRunLengthLeavesSpeed() {
    Sending rig;
    rig.s.RunGroupCount = 0;
    rig.f.anziehen1.setValue(1);
    rig.f.anziehen2.setValue(1);
    send(QStringLiteral("E"));
    QCOMPARE(rig.s.Speed, 60.0f);
}

void SendCharacterTest::speedIncreaseSpreadsOverTheRun() {
    Sending rig;
    rig.s.RunGroupCount = 12;
    rig.f.anziehen1.setValue(1);
    for (int i = 0; i < 72; ++i) send(i % 6 == 5 ? QStringLiteral(" ") : QStringLiteral("E"));
    // Six calls per group over twelve groups raise the speed by about 5 %.
    QVERIFY(rig.s.Speed > 62.5f && rig.s.Speed < 63.5f);
    QCOMPARE(rig.f.L_Gesch.caption(), QStringLiteral("63"));
    QCOMPARE(rig.s.DotMs, 77.0f / rig.s.Speed * 60.0f);
}

void SendCharacterTest::narrowingStopsAtOnePointOne() {
    Sending rig;
    rig.f.O_Verkl.setValue(1);
    send(QStringLiteral("E"));
    QCOMPARE(rig.s.CharSpacing, 1.0f);
    QCOMPARE(rig.f.L_Abst.caption(), QStringLiteral("1,0"));
    rig.s.CharSpacing = 1.3f;
    rig.s.SpacingStep = 0.1f;
    for (int i = 0; i < 10; ++i) send(QStringLiteral("E"));
    // 1.3 -> 1.2 -> 1.1 (as float just above 1.1) -> one more step, then it holds.
    QVERIFY(rig.s.CharSpacing <= 1.1f);
    QVERIFY(rig.s.CharSpacing > 0.99f);
    const float held = rig.s.CharSpacing;
    send(QStringLiteral("E"));
    QCOMPARE(rig.s.CharSpacing, held);
}

void SendCharacterTest::sloppyKeyingStaysInItsBand() {
    Sending rig;
    rig.f.unsauber.setValue(1);
    for (int i = 0; i < 200; ++i) {
        send(QStringLiteral("T"));
        QVERIFY(rig.s.DotMs >= 77 - 10 && rig.s.DotMs <= 77 + 5);
        QVERIFY(rig.s.DashMs >= (77 - 20) * 3 && rig.s.DashMs <= (77 + 10) * 3);
        QCOMPARE(rig.s.DotMs, std::floor(rig.s.DotMs));
    }
}

void SendCharacterTest::toneFluctuationSwingsAroundTheBase() {
    Sending rig;
    rig.f.tonschwank.setValue(1);
    rig.s.BasePitch = 800;
    rig.s.PitchDrift = 1.0f;
    float low = 800, high = 800;
    for (int i = 0; i < 400; ++i) {
        send(QStringLiteral("E"));
        low = std::min(low, rig.s.TonePitch);
        high = std::max(high, rig.s.TonePitch);
    }
    QVERIFY(high > 800 * 1.05f);
    QVERIFY(low < 800 * 0.95f);
    QVERIFY(high < 800 * 1.3f && low > 800 * 0.7f);
    QCOMPARE(rig.f.L_Ton.caption(), QString::number(int(std::floor(rig.s.TonePitch))));
}

void SendCharacterTest::spokenCharacterAfterItsLeadIn() {
    Sending rig;
    rig.f.Mund.setValue(1);
    double spokenAt = -1;
    rig.wave.secondsPerFile = 0.4;
    send(QStringLiteral("?"));
    QCOMPARE(rig.wave.played, QStringList{QStringLiteral(".\\Alfa\\fz.wav")});
    // Sign (four dots, two dashes, six element gaps, the character gap and one more dot), then
    // the 0.2 s lead-in, then the spoken name.
    const double sign = (4 * 77 + 2 * 231 + 6 * 77 + 231 + 77) / 1000.0;
    spokenAt = rig.clock.monotonicSeconds() - 0.4;
    QVERIFY(qAbs(spokenAt - sign - 0.2) < 1e-3);
    // A blank takes its 0.2 s and plays nothing.
    rig.wave.played.clear();
    rig.f.Ohr.setValue(0);
    const double before = rig.clock.monotonicSeconds();
    send(QStringLiteral(" "));
    QVERIFY(rig.wave.played.isEmpty());
    QVERIFY(qAbs(rig.clock.monotonicSeconds() - before) < 1e-9);
}

void SendCharacterTest::pauseHoldsTheCharacter() {
    Sending rig;
    rig.s.Paused = true;
    rig.clock.at(5.0, [&] { rig.s.Paused = false; });
    send(QStringLiteral("E"));
    QVERIFY(rig.clock.monotonicSeconds() >= 5.0 + 0.462 - 1e-6);
    QCOMPARE(rig.s.SentText, QStringLiteral("E"));
}

REGISTER_TEST(SendCharacterTest);
#include "send_character_test.moc"
