#include <QRegularExpression>
#include <QTest>

#include "drill_script.h"
#include "sound/clocked_output.h"
#include "sound/tonwerk.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
// Keeps every character handed to the output: its Morse pattern and where its samples begin
// and end.
class PatternOutput : public ClockedOutput {
public:
    using ClockedOutput::ClockedOutput;
    struct Character {
        QString pattern;
        int64_t startFrame, endFrame;
    };
    std::vector<Character> characters;

protected:
    void renderTones(int64_t start, const std::vector<ToneSegment>& tones,
                     const std::vector<int64_t>& frames) override {
        Character c{QString(), start, start};
        double shortest = 1e9;
        for (const ToneSegment& t : tones)
            if (t.amplitude > 0) shortest = std::min(shortest, t.durationMs);
        for (size_t i = 0; i < tones.size(); ++i) {
            if (tones[i].amplitude > 0)
                c.pattern +=
                    tones[i].durationMs > shortest * 2 ? QLatin1Char('-') : QLatin1Char('.');
            c.endFrame += frames[i];
        }
        characters.push_back(c);
    }
};

// The rig with an output that records what the tone generator was given.
struct KeyboardRig {
    KeyboardRig() {
        rig.startUp();
        Platform().tonwerk = &tonwerk;
    }
    TestRig rig;
    PatternOutput output{rig.clock, 48000};
    Tonwerk tonwerk{output, rig.clock};

    QStringList patterns() const {
        QStringList out;
        for (const auto& c : output.characters) out << c.pattern;
        return out;
    }
};

QStringList spokenLetters(const QStringList& played) {
    static const QRegularExpression letter(QStringLiteral(R"(^\.\\Alfa\\([A-Z])\.wav$)"));
    QStringList out;
    for (const QString& name : played) {
        const auto match = letter.match(name);
        if (match.hasMatch()) out << match.captured(1);
    }
    return out;
}
}  // namespace

class KeyboardModesTest : public QObject {
    Q_OBJECT
private slots:
    void keysSoundInTheOrderTyped();
    void listeningModeEndsKeyboardMode();
    void escapeLeavesKeyboardModeLikeListening();
    void keyboardModeWaitsWithoutSpinning();
    void readAloudStopsAndContinues();
    void readAloudWithoutText();
    void eachModeAsksForTheBufferItNeeds();
};

void KeyboardModesTest::keysSoundInTheOrderTyped() {
    KeyboardRig k;
    TestRig& rig = k.rig;
    QString boxAfterTyping, shownAfterTyping;
    rig.clock.at(2.0, [&] { TypeIntoWindow(rig.f, 'a'); });
    rig.clock.at(2.01, [&] { TypeIntoWindow(rig.f, 'b'); });
    rig.clock.at(2.02, [&] {
        boxAfterTyping = rig.f.Text2.text();
        shownAfterTyping = rig.surface.visibleText();
    });
    rig.clock.at(5.0, [&] { rig.f.C_Hoeren.click(); });
    rig.f.Com_Tastatur.click();

    QCOMPARE(k.patterns(), QStringList({QStringLiteral(".-"), QStringLiteral("-...")}));
    // B follows A without a pause beyond A's own gaps.
    QCOMPARE(k.output.characters[1].startFrame, k.output.characters[0].endFrame);
    QCOMPARE(rig.s.PlayedCount, 2);
    QCOMPARE(boxAfterTyping, QStringLiteral("B"));
    QCOMPARE(shownAfterTyping, QStringLiteral("AB"));
    QCOMPARE(rig.f.shape1.fillColor(), RGB(192, 255, 192));
    QCOMPARE(rig.f.Panel2.caption(), QStringLiteral("Schreibmaschine"));
    QVERIFY(rig.wave.played.contains(QStringLiteral("alfa\\s7.wav")));
}

void KeyboardModesTest::listeningModeEndsKeyboardMode() {
    KeyboardRig k;
    TestRig& rig = k.rig;
    rig.clock.at(2.0, [&] { TypeIntoWindow(rig.f, 'a'); });
    rig.clock.at(2.01, [&] { TypeIntoWindow(rig.f, 'b'); });
    rig.clock.at(2.02, [&] { TypeIntoWindow(rig.f, 'c'); });
    rig.clock.at(2.1, [&] { rig.f.C_Hoeren.click(); });
    rig.clock.at(6.0, [&] { TypeIntoWindow(rig.f, 'x'); });
    rig.f.Com_Tastatur.click();
    rig.clock.advance(10);

    QCOMPARE(k.patterns(), QStringList({QStringLiteral(".-")}));
    QCOMPARE(rig.s.PlayedCount, 1);
    QVERIFY(rig.s.KeyQueue.isEmpty());
    QVERIFY(!rig.s.KeyboardMode);
    QCOMPARE(rig.f.Text2.text(), QStringLiteral("x"));  // the key went on to the box
    QVERIFY(rig.s.RunAllowed);
    QCOMPARE(rig.f.pan1.caption(), QStringLiteral("Hören"));
    QVERIFY(rig.surface.pieces().empty());
}

void KeyboardModesTest::escapeLeavesKeyboardModeLikeListening() {
    KeyboardRig k;
    TestRig& rig = k.rig;
    int listening = 0;
    const auto hoeren = rig.f.C_Hoeren.onClick;
    rig.f.C_Hoeren.onClick = [&] {
        ++listening;
        hoeren();
    };
    constexpr int kEscape = 27;
    rig.clock.at(2.0, [&] { TypeIntoWindow(rig.f, 'e'); });
    rig.clock.at(3.0, [&] { TypeIntoWindow(rig.f, kEscape); });
    rig.clock.at(8.0, [&] { TypeIntoWindow(rig.f, 'x'); });
    rig.f.Com_Tastatur.click();
    rig.clock.advance(10);

    // The escape is neither sounded nor shown; it ends the mode the way "Hören" does.
    QCOMPARE(k.patterns(), QStringList({QStringLiteral(".")}));
    QCOMPARE(listening, 1);
    QVERIFY(!rig.s.KeyboardMode);
    QVERIFY(rig.s.KeyQueue.isEmpty());
    QCOMPARE(rig.f.pan1.caption(), QStringLiteral("Hören"));
    QVERIFY(rig.s.RunAllowed);
    QCOMPARE(rig.f.Text2.text(), QStringLiteral("x"));  // later keys go on to the box
}

void KeyboardModesTest::keyboardModeWaitsWithoutSpinning() {
    KeyboardRig k;
    TestRig& rig = k.rig;
    rig.clock.at(2.0, [&] { TypeIntoWindow(rig.f, 'e'); });
    rig.clock.at(600.0, [&] { rig.f.C_Hoeren.click(); });
    const long long before = rig.clock.eventRounds();
    rig.f.Com_Tastatur.click();
    // Ten idle minutes with the clock timer ticking every second.
    QVERIFY2(rig.clock.eventRounds() - before < 5000,
             qPrintable(QString::number(rig.clock.eventRounds() - before)));
    QCOMPARE(k.patterns(), QStringList({QStringLiteral(".")}));
}

void KeyboardModesTest::readAloudStopsAndContinues() {
    TestRig rig;
    rig.startUp();
    rig.wave.secondsPerFile = 0.5;
    rig.s.SentText = QStringLiteral("ABCDE");
    rig.s.CharSpacing = 1.5f;

    // Stop while B is spoken: B is finished, C is the first not yet spoken.
    rig.clock.at(0.7, [&] { rig.f.comstop.click(); });
    rig.f.com_vorlesen.click();
    QCOMPARE(spokenLetters(rig.wave.played), QStringList({"A", "B"}));
    QCOMPARE(rig.s.ReadPosition, int16_t(3));
    QCOMPARE(rig.s.CharSpacing, 1.5f);
    QVERIFY(!rig.s.ReadingAloud);
    QVERIFY(rig.f.Mund.ticked());
    QVERIFY(!rig.f.Comstart.enabled());

    for (int reading = 0; reading < 2; ++reading) {
        rig.wave.played.clear();
        rig.f.com_vorlesen.click();
        QCOMPARE(spokenLetters(rig.wave.played), QStringList({"C", "D", "E"}));
    }

    rig.wave.played.clear();
    rig.f.Command2.click();
    QCOMPARE(spokenLetters(rig.wave.played), QStringList({"A", "B", "C", "D", "E"}));
    QCOMPARE(rig.s.CharSpacing, 1.5f);

    // "v vorne" while B is spoken: B is finished, then the reading starts again with A.
    rig.wave.played.clear();
    rig.clock.at(rig.clock.monotonicSeconds() + 0.7, [&] { rig.f.Command2.click(); });
    rig.f.com_vorlesen.click();
    QCOMPARE(spokenLetters(rig.wave.played), QStringList({"A", "B", "A", "B", "C", "D", "E"}));
    QCOMPARE(rig.s.CharSpacing, 1.5f);
    QVERIFY(!rig.s.ReadingAloud);
}

void KeyboardModesTest::readAloudWithoutText() {
    TestRig rig;
    rig.startUp();
    rig.s.CharSpacing = 2.0f;
    rig.f.com_vorlesen.click();
    QVERIFY(spokenLetters(rig.wave.played).isEmpty());
    QCOMPARE(rig.s.CharSpacing, 2.0f);
    QVERIFY(rig.f.comstop.enabled());
    QVERIFY(!rig.s.ReadingAloud);
}

void KeyboardModesTest::eachModeAsksForTheBufferItNeeds() {
    TestRig rig;
    rig.startUp();
    const SoundNeed typing{.promptResponse = true, .keepOpen = true};
    SoundNeed inKeyboardMode, inRun, afterRun, inReading;
    bool runGoing = false;
    rig.clock.at(2.0, [&] { inKeyboardMode = rig.output.need(); });
    // A run started from keyboard mode plays with the generous buffer, then keys are prompt
    // again.
    rig.clock.at(2.5, [&] { rig.f.Comstart.click(); });
    rig.clock.at(8.0, [&] {
        inRun = rig.output.need();
        runGoing = !rig.f.Comstart.enabled();
    });
    rig.clock.at(9.0, [&] { rig.f.comstop.click(); });
    rig.clock.at(12.0, [&] {
        afterRun = rig.output.need();
        rig.s.SentText = QStringLiteral("ABCDEF");
        rig.wave.secondsPerFile = 0.5;
    });
    rig.clock.at(12.5, [&] { rig.f.com_vorlesen.click(); });
    rig.clock.at(12.6, [&] { inReading = rig.output.need(); });
    rig.clock.at(13.0, [&] { rig.f.comstop.click(); });
    rig.clock.at(20.0, [&] { rig.f.C_Hoeren.click(); });
    rig.f.Com_Tastatur.click();

    QCOMPARE(inKeyboardMode, typing);
    QCOMPARE(inRun, SoundNeed{});
    QVERIFY(runGoing);
    QCOMPARE(afterRun, typing);
    QCOMPARE(inReading, SoundNeed{});
    QCOMPARE(rig.output.need(), SoundNeed{});
}

REGISTER_TEST(KeyboardModesTest);
#include "keyboard_modes_test.moc"
