#include "engine/tone_control.h"

#include <QTest>
#include <cmath>

#include "engine/morse_table.h"
#include "engine/record_hooks.h"
#include "engine/timing.h"
#include "platform/record_sink.h"
#include "support/audio_analysis.h"
#include "support/registry.h"
#include "support/rig.h"

namespace {
constexpr int kRate = 48000;

// Slot boundaries (in samples) of consecutive sounds of the given lengths, counted from the
// exact running sum of the durations.
std::vector<int64_t> Boundaries(const std::vector<double>& durationsMs) {
    std::vector<int64_t> bounds{0};
    double sum = 0;
    for (double ms : durationsMs) {
        sum += ms * kRate / 1000.0;
        bounds.push_back(static_cast<int64_t>(std::floor(sum + 1e-6)));
    }
    return bounds;
}

std::vector<int16_t> Played(TestRig& rig) { return rig.output.samples(); }

// The offline output behind a device buffer: every sound reaches the listener this much later
// than its place on the timeline.
class BufferedOutput : public OfflineOutput {
public:
    BufferedOutput(Clock& clock, double latencySeconds)
        : OfflineOutput(clock, kRate), latency_(latencySeconds) {}
    double heardEndSeconds() override { return OfflineOutput::heardEndSeconds() + latency_; }

private:
    double latency_;
};

class AnswerRecorder : public RecordSink {
public:
    void answer(const DrillAnswer& entry) override { answers.push_back(entry); }
    void run(const RunSummary&) override {}
    void copy(const CheckedCopy&) override {}
    void contest(const ContestAttemptEntry&) override {}
    std::vector<DrillAnswer> answers;
};
}  // namespace

class ToneControlTest : public QObject {
    Q_OBJECT
private slots:
    void letterSoundsWithTheTimingFormulasToTheSample();
    void eachCharacterSoundsAtItsOwnPitch();
    void signlessCharacterIsOnlyTheGap();
    void onlyTheFirstPlayableCharacterSounds();
    void parenthesesSoundAlike();
    void stopSoundEndsACharacterEarlyAndIsHarmlessWhenIdle();
    void renderedTextDecodesBack();
    void reactionTimeRunsFromTheHeardEndOfTheLastElement();
};

void ToneControlTest::reactionTimeRunsFromTheHeardEndOfTheLastElement() {
    TestRig rig;
    rig.startUp();
    BufferedOutput output(rig.clock, 0.080);
    Tonwerk tonwerk(output, rig.clock);
    Platform().tonwerk = &tonwerk;
    AnswerRecorder recorder;
    Platform().record = &recorder;
    rig.s.Speed = 65;
    rig.f.LT.setValue(33);
    ComputeTiming();
    const double dot = rig.s.DotMs, dash = rig.s.DashMs, gap = rig.s.CharGap;
    const auto bounds = Boundaries({dot, dot, dash, dot, gap, dot});
    const double startedAt = rig.clock.monotonicSeconds();
    PlayCharacter(QStringLiteral("A"));
    // The dash ends at the third boundary; the silence after it is not part of the sign.
    const double heardEnd = startedAt + bounds[3] / double(kRate) + 0.080;
    QVERIFY(std::abs(rig.s.LastSignEndSeconds - heardEnd) < 1e-9);
    rig.clock.advance(0.7);
    RecordDrillAnswer(QStringLiteral("A"), QStringLiteral("A"), true);
    QCOMPARE(recorder.answers.size(), size_t(1));
    QCOMPARE(recorder.answers[0].reactionMs,
             static_cast<int>(std::lround((rig.clock.monotonicSeconds() - heardEnd) * 1000)));
    Platform().record = nullptr;
    Platform().tonwerk = &rig.tonwerk;
}

void ToneControlTest::letterSoundsWithTheTimingFormulasToTheSample() {
    TestRig rig;
    rig.startUp();
    rig.s.Speed = 65;  // a dot of 71.08 ms: fractional samples everywhere
    rig.f.LT.setValue(33);
    ComputeTiming();
    const double dot = rig.s.DotMs, dash = rig.s.DashMs, gap = rig.s.CharGap;
    const auto bounds = Boundaries({dot, dot, dash, dot, gap, dot});
    const double startedAt = rig.clock.monotonicSeconds();
    PlayCharacter(QStringLiteral("A"));
    QCOMPARE(rig.s.PlayedCount, 1);
    const auto samples = Played(rig);
    QCOMPARE(static_cast<int64_t>(samples.size()), bounds.back());
    QCOMPARE(rig.clock.monotonicSeconds() - startedAt, bounds.back() / double(kRate));

    const auto marks = audio::FindMarks(samples, 48);
    QCOMPARE(marks.size(), size_t(2));
    // Each tone stays inside its slot and is centred in it to a fraction of a sample, so it
    // starts and ends exactly on the slot's edges.
    const int64_t span[2][2] = {{bounds[0], bounds[1]}, {bounds[2], bounds[3]}};
    for (int i = 0; i < 2; ++i) {
        QVERIFY(marks[i].first >= span[i][0] && marks[i].last < span[i][1]);
        const double centre = (span[i][0] + span[i][1] - 1) / 2.0;
        QVERIFY2(std::abs(marks[i].centre - centre) < 0.1,
                 qPrintable(QStringLiteral("%1 vs %2").arg(marks[i].centre).arg(centre)));
    }
    // The tones differ in energy by exactly the difference of their full-amplitude lengths.
    const double fullPower = 32000.0 * 32000.0 / 2;
    const double lengthDifference = (marks[1].energy - marks[0].energy) / fullPower;
    QVERIFY(std::abs(lengthDifference - ((span[1][1] - span[1][0]) - (span[0][1] - span[0][0]))) <
            0.5);
    // Silence between and after the tones is exact.
    for (int64_t i = span[0][1]; i < span[1][0]; ++i) QCOMPARE(samples[i], int16_t{0});
    for (int64_t i = span[1][1]; i < bounds.back(); ++i) QCOMPARE(samples[i], int16_t{0});
}

void ToneControlTest::eachCharacterSoundsAtItsOwnPitch() {
    TestRig rig;
    rig.startUp();
    ComputeTiming();
    rig.s.TonePitch = 600;
    PlayCharacter(QStringLiteral("T"));
    rig.s.TonePitch = 900;
    PlayCharacter(QStringLiteral("T"));
    const auto samples = Played(rig);
    const auto marks = audio::FindMarks(samples, 48);
    QCOMPARE(marks.size(), size_t(2));
    QVERIFY(
        std::abs(audio::ZeroCrossingHz(samples, marks[0].first + 480, marks[0].last - 480, kRate) -
                 600) < 0.5);
    QVERIFY(
        std::abs(audio::ZeroCrossingHz(samples, marks[1].first + 480, marks[1].last - 480, kRate) -
                 900) < 0.5);
    QCOMPARE(rig.s.PlayedCount, 2);
}

void ToneControlTest::signlessCharacterIsOnlyTheGap() {
    TestRig rig;
    rig.startUp();
    ComputeTiming();
    PlayCharacter(QStringLiteral("@"));
    const auto samples = Played(rig);
    QCOMPARE(static_cast<int64_t>(samples.size()), Boundaries({rig.s.CharGap, rig.s.DotMs}).back());
    QVERIFY(std::all_of(samples.begin(), samples.end(), [](int16_t s) { return s == 0; }));
    QCOMPARE(rig.s.PlayedCount, 1);
}

void ToneControlTest::onlyTheFirstPlayableCharacterSounds() {
    TestRig reference;
    reference.startUp();
    ComputeTiming();
    PlayCharacter(QStringLiteral("A"));
    const auto a = Played(reference);

    TestRig rig;
    rig.startUp();
    ComputeTiming();
    for (const QString& text :
         {QString(), QStringLiteral(" "), QStringLiteral("Ä"), QStringLiteral("!A")}) {
        PlayCharacter(text);
    }
    QCOMPARE(rig.s.PlayedCount, 0);
    QCOMPARE(rig.clock.monotonicSeconds(), 0.0);
    PlayCharacter(QStringLiteral("AB"));
    QCOMPARE(rig.s.PlayedCount, 1);
    QVERIFY(Played(rig) == a);
}

void ToneControlTest::parenthesesSoundAlike() {
    auto marksOf = [](const QString& c) {
        TestRig rig;
        rig.startUp();
        ComputeTiming();
        PlayCharacter(c);
        std::vector<int64_t> lengths;
        for (const auto& m : audio::FindMarks(Played(rig), 48)) lengths.push_back(m.first / 100);
        return lengths;
    };
    const auto open = marksOf(QStringLiteral("("));
    QCOMPARE(open.size(), size_t(6));
    QVERIFY(open == marksOf(QStringLiteral(")")));
}

void ToneControlTest::stopSoundEndsACharacterEarlyAndIsHarmlessWhenIdle() {
    TestRig rig;
    rig.startUp();
    ComputeTiming();
    rig.tonwerk.StopSound();
    QVERIFY(Played(rig).empty());
    // "0" lasts about 2.5 s; the stop button comes at 1 s, in the middle of a dash.
    rig.clock.at(1.0, [&rig] { rig.tonwerk.StopSound(); });
    PlayCharacter(QStringLiteral("0"));
    QVERIFY(rig.clock.monotonicSeconds() < 1.02);
    rig.clock.advance(0.1);
    const auto samples = Played(rig);
    QVERIFY(std::any_of(samples.begin() + kRate - 100, samples.begin() + kRate,
                        [](int16_t s) { return s != 0; }));
    QVERIFY(std::all_of(samples.begin() + kRate + kRate / 50, samples.end(),
                        [](int16_t s) { return s == 0; }));
    // The next character sounds in full again.
    rig.tonwerk.StopSound();
    const double before = rig.clock.monotonicSeconds();
    PlayCharacter(QStringLiteral("E"));
    QCOMPARE(rig.s.PlayedCount, 2);
    QVERIFY(std::abs(rig.clock.monotonicSeconds() - before -
                     (2 * rig.s.DotMs + rig.s.CharGap + rig.s.DotMs) / 1000.0) < 0.001);
}

void ToneControlTest::renderedTextDecodesBack() {
    TestRig rig;
    rig.startUp();
    rig.s.Speed = 120;
    ComputeTiming();
    const QString text = QStringLiteral("CQ DE DL1ABC = TEST 73? 5NN/0");
    for (QChar c : text) {
        if (c == u' ') {
            WaitSeconds(rig.s.WordGap);
        } else {
            PlayCharacter(QString(c));
        }
    }
    QCOMPARE(audio::DecodeMorse(Played(rig), kRate), text);
}

REGISTER_TEST(ToneControlTest);
#include "tone_control_test.moc"
