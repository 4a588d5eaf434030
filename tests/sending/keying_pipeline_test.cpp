#include "sending/keying_pipeline.h"

#include <QTest>

#include "sending/debouncer.h"
#include "sending/keyed_elements.h"
#include "sound/sound_output.h"
#include "support/registry.h"

namespace {
constexpr int64_t kMs = 1000;

struct ToneKeyLog {
    std::vector<KeyTransition> changes;
    KeyingPipeline::ToneKey sink() {
        return [this](bool down, int64_t at) { changes.push_back({down, at}); };
    }
};
}  // namespace

class KeyingPipelineTest : public QObject {
    Q_OBJECT
private slots:
    void debouncerTakesTheFirstEdgeAndTheFinalState();
    void bouncingContactThousandsOfTimesASecond();
    void straightKeyHeldForMinutes();
    void elementsCarryTheirMomentsAndLengths();
    void elementTextRoundTripsAndRefusesGarbage();
    void playbackSoundsTheMarksAndShortensLongPauses();
    void modeSwitchEndsAKeyedTone();
    void momentsOutOfOrderNeverRunTheToneBackwards();
};

void KeyingPipelineTest::debouncerTakesTheFirstEdgeAndTheFinalState() {
    Debouncer d;
    // The first change is taken at once, at its own moment.
    auto out = d.feed({Contact::Dit, true, 10 * kMs});
    QCOMPARE(out, std::vector<ContactEvent>({{Contact::Dit, true, 10 * kMs}}));
    // Bouncing inside the lockout is ignored...
    QVERIFY(d.feed({Contact::Dit, false, 10 * kMs + 300}).empty());
    QVERIFY(d.feed({Contact::Dit, true, 10 * kMs + 600}).empty());
    QVERIFY(!d.nextDeadlineUs());  // it ended where it was taken
    // ...but a contact that bounced into the other state is taken when the lockout ends.
    QVERIFY(d.feed({Contact::Dit, false, 11 * kMs}).empty());
    QCOMPARE(*d.nextDeadlineUs(), 10 * kMs + Debouncer::kLockoutUs);
    QVERIFY(d.advanceTo(11 * kMs + 999).empty());
    QCOMPARE(d.advanceTo(12 * kMs),
             std::vector<ContactEvent>({{Contact::Dit, false, 10 * kMs + Debouncer::kLockoutUs}}));
    // Contacts are independent, and late changes come out in time order before a new one.
    d.feed({Contact::Dah, true, 20 * kMs});
    d.feed({Contact::Dit, true, 20 * kMs + 500});
    d.feed({Contact::Dah, false, 20 * kMs + 900});  // ends dah's lockout at 22 ms
    d.feed({Contact::Dit, false, 21 * kMs});        // inside dit's lockout, which ends at 22.5 ms
    out = d.feed({Contact::Straight, true, 30 * kMs});
    QCOMPARE(out, std::vector<ContactEvent>({{Contact::Dah, false, 22 * kMs},
                                             {Contact::Dit, false, 22 * kMs + 500},
                                             {Contact::Straight, true, 30 * kMs}}));
    QVERIFY(Debouncer::kLockoutUs < 3 * kMs);
}

void KeyingPipelineTest::bouncingContactThousandsOfTimesASecond() {
    ToneKeyLog tone;
    KeyingPipeline pipeline(KeyerMode::Straight, KeyerTiming::FromMs(60, 180, 50), tone.sink());
    // 5000 changes a second for 200 ms, the contact settling closed, held, then bouncing open.
    int64_t t = 0;
    for (int i = 0; i < 1000; ++i, t += 200) pipeline.contact({Contact::Dit, i % 2 == 0, t});
    pipeline.contact({Contact::Dit, true, t});
    pipeline.advanceTo(300 * kMs);
    for (int i = 0; i < 1000; ++i)
        pipeline.contact({Contact::Dit, i % 2 == 1, 300 * kMs + i * 150});
    pipeline.contact({Contact::Dit, false, 450 * kMs});
    pipeline.advanceTo(500 * kMs);
    // The tone follows the settled contact; the bounces make at most one short mark each
    // lockout, and the last state is up.
    QVERIFY(!tone.changes.empty());
    QVERIFY(!tone.changes.back().down);
    QVERIFY(tone.changes.size() <= 2 * (350 / 2) + 2);
    QCOMPARE(tone.changes.front(), (KeyTransition{true, 0}));
    for (size_t i = 1; i < tone.changes.size(); ++i) {
        QVERIFY(tone.changes[i].atUs >= tone.changes[i - 1].atUs);
        QVERIFY(tone.changes[i].down != tone.changes[i - 1].down);
    }
    // The contact was closed from 200 ms to 300 ms without a break.
    for (const KeyTransition& c : tone.changes) QVERIFY(c.atUs <= 202 * kMs || c.atUs >= 300 * kMs);
}

void KeyingPipelineTest::straightKeyHeldForMinutes() {
    ToneKeyLog tone;
    KeyingPipeline pipeline(KeyerMode::IambicB, KeyerTiming::FromMs(60, 180, 50), tone.sink());
    pipeline.contact({Contact::Straight, true, 1 * kMs});
    for (int64_t s = 1; s <= 600; ++s) QVERIFY(!pipeline.advanceTo(s * 1000 * kMs));
    QVERIFY(pipeline.keyDown());
    pipeline.contact({Contact::Straight, false, 600 * 1000 * kMs});
    pipeline.contact({Contact::Straight, true, 600 * 1000 * kMs + 100 * kMs});
    QCOMPARE(tone.changes,
             std::vector<KeyTransition>(
                 {{true, kMs}, {false, 600 * 1000 * kMs}, {true, 600 * 1000 * kMs + 100 * kMs}}));
    const auto elements = pipeline.log().takeElements();
    QCOMPARE(elements.size(), size_t(2));
    QCOMPARE(elements[0], (KeyedElement{true, kMs, 599999.0}));
    QCOMPARE(elements[1], (KeyedElement{false, 600 * 1000 * kMs, 100.0}));
    QCOMPARE(*pipeline.log().openMarkUs(), 600 * 1000 * kMs + 100 * kMs);
}

void KeyingPipelineTest::elementsCarryTheirMomentsAndLengths() {
    KeyingPipeline pipeline(KeyerMode::IambicA, KeyerTiming::FromMs(60, 180, 50), {});
    const int64_t t0 = 5'000'000;
    pipeline.contact({Contact::Dah, true, t0});
    pipeline.contact({Contact::Dit, true, t0 + 10 * kMs});
    // The keyer runs only at its deadlines, as the worker wakes it.
    int64_t now = t0 + 10 * kMs;
    while (now < t0 + 650 * kMs) {
        const auto next = pipeline.advanceTo(now);
        QVERIFY(next);
        now = std::min(*next, t0 + 650 * kMs);
    }
    pipeline.contact({Contact::Dah, false, t0 + 650 * kMs});
    pipeline.contact({Contact::Dit, false, t0 + 650 * kMs});
    while (const auto next = pipeline.advanceTo(now)) now = *next;
    QVERIFY(!pipeline.keyDown());
    pipeline.contact({Contact::Dit, true, t0 + 2000 * kMs});  // the next mark closes the space
    // C: dah, dit, dah, dit, with the spaces between and the pause after it.
    const auto elements = pipeline.log().takeElements();
    const std::vector<KeyedElement> expected{{true, t0, 180},
                                             {false, t0 + 180 * kMs, 60},
                                             {true, t0 + 240 * kMs, 60},
                                             {false, t0 + 300 * kMs, 60},
                                             {true, t0 + 360 * kMs, 180},
                                             {false, t0 + 540 * kMs, 60},
                                             {true, t0 + 600 * kMs, 60},
                                             {false, t0 + 660 * kMs, 1340}};
    QCOMPARE(elements, expected);
}

void KeyingPipelineTest::elementTextRoundTripsAndRefusesGarbage() {
    const std::vector<KeyedElement> elements{
        {true, 123456789, 61.25}, {false, 123518039, 59.75}, {true, 123577789, 181.5}};
    QString error;
    const auto back = ElementsFromText(ElementsToText(elements), &error);
    QVERIFY(back);
    QCOMPARE(*back, elements);
    QVERIFY(ElementsFromText(QString(), &error)->empty());
    for (const char* bad : {"X 1 2", "M 1", "M x 2", "S 1 -3", "M 1 2 3", "M 1 nan"}) {
        error.clear();
        const auto text = QStringLiteral("M 0 60\n") + QLatin1String(bad) + u'\n';
        QVERIFY2(!ElementsFromText(text, &error), bad);
        QVERIFY(error.startsWith(QStringLiteral("Zeile 2 ")));
    }
}

void KeyingPipelineTest::playbackSoundsTheMarksAndShortensLongPauses() {
    const std::vector<KeyedElement> elements{
        {true, 0, 60}, {false, 60, 65}, {true, 125, 180}, {false, 305, 30000}, {true, 30305, 60}};
    const auto tones = ElementsToTones(elements, 700);
    QCOMPARE(tones.size(), size_t(6));
    QCOMPARE(tones[0].frequencyHz, 700.0);
    QCOMPARE(tones[0].durationMs, 60.0);
    QCOMPARE(tones[1].amplitude, 0);
    QCOMPARE(tones[1].durationMs, 65.0);
    QCOMPARE(tones[2].durationMs, 180.0);
    QVERIFY(tones[3].durationMs <= 2000);  // a long pause is not waited out
    QVERIFY(tones[4].amplitude > 0);
    QCOMPARE(tones[5].amplitude, 0);  // the last mark's fall is heard
}

void KeyingPipelineTest::modeSwitchEndsAKeyedTone() {
    ToneKeyLog tone;
    KeyingPipeline pipeline(KeyerMode::IambicB, KeyerTiming::FromMs(60, 180, 50), tone.sink());
    pipeline.contact({Contact::Dah, true, 0});
    pipeline.setMode(KeyerMode::Straight, 100 * kMs);
    QCOMPARE(tone.changes, std::vector<KeyTransition>({{true, 0}, {false, 100 * kMs}}));
    // No element of the old keyer comes later.
    QVERIFY(!pipeline.advanceTo(5000 * kMs));
    QCOMPARE(tone.changes.size(), size_t(2));
}

void KeyingPipelineTest::momentsOutOfOrderNeverRunTheToneBackwards() {
    ToneKeyLog tone;
    KeyingPipeline pipeline(KeyerMode::Straight, KeyerTiming::FromMs(60, 180, 50), tone.sink());
    pipeline.contact({Contact::Dit, true, 100 * kMs});
    pipeline.advanceTo(150 * kMs);
    pipeline.contact({Contact::Dit, false, 140 * kMs});  // stamped on another thread, earlier
    QCOMPARE(tone.changes, std::vector<KeyTransition>({{true, 100 * kMs}, {false, 150 * kMs}}));
}

REGISTER_TEST(KeyingPipelineTest);
#include "keying_pipeline_test.moc"
