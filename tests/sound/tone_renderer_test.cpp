#include "sound/tone_renderer.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>
#include <deque>

#include "support/audio_analysis.h"
#include "support/registry.h"

namespace {
constexpr int kRate = 48000;

class ListSource : public SoundItemSource {
public:
    explicit ListSource(std::deque<SoundItem> items) : items_(std::move(items)) {}
    const SoundItem* peek() override { return items_.empty() ? nullptr : &items_.front(); }
    void pop() override { items_.pop_front(); }

private:
    std::deque<SoundItem> items_;
};

SoundItem Tone(int64_t start, int64_t frames, double hz, uint64_t serial) {
    return SoundItem{start, frames, hz, 32000, nullptr, serial};
}

std::vector<int16_t> Render(std::deque<SoundItem> items, int64_t total) {
    ToneRenderer renderer(kRate);
    ListSource source(std::move(items));
    std::vector<int16_t> out(static_cast<size_t>(total));
    renderer.render(out.data(), total, source);
    return out;
}

int PeakIn(const std::vector<int16_t>& s, int64_t first, int64_t last) {
    int peak = 0;
    for (int64_t i = first; i < last; ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak;
}
}  // namespace

class ToneRendererTest : public QObject {
    Q_OBJECT
private slots:
    void tonesSitInTheirSlotsAndSilenceIsZero();
    void edgesRiseAndFallWithoutClicks();
    void phaseRunsOnAcrossBuffers();
    void stopFadesOutWithinTwentyMs();
    void lateItemStartsAtOnce();
    void soundFileSamplesPassUnchanged();
};

void ToneRendererTest::tonesSitInTheirSlotsAndSilenceIsZero() {
    const auto out = Render({Tone(1000, 4800, 800, 1), Tone(9000, 2400, 600, 2)}, 14000);
    const auto marks = audio::FindMarks(out, 10);
    QCOMPARE(marks.size(), size_t(2));
    // Nothing outside the slots, and every slot filled up to (nearly) its ends: the edge starts
    // so softly that its first few samples round to zero.
    QVERIFY(marks[0].first >= 1000 && marks[0].first < 1012);
    QVERIFY(marks[0].last <= 5799 && marks[0].last > 5788);
    QVERIFY(marks[1].first >= 9000 && marks[1].last <= 11399);
    // Symmetric shaping puts the energy centre in the middle of the slot.
    QVERIFY(std::abs(marks[0].centre - 3399.5) < 0.1);
    QVERIFY(std::abs(marks[1].centre - 10199.5) < 0.1);
    // Full amplitude is the peak, never exceeded.
    QVERIFY(PeakIn(out, 2000, 5000) >= 31990);
    QVERIFY(PeakIn(out, 0, 14000) <= 32000);
    QVERIFY(std::abs(audio::ZeroCrossingHz(out, 1500, 5300, kRate) - 800) < 0.5);
    QVERIFY(std::abs(audio::ZeroCrossingHz(out, 9500, 10900, kRate) - 600) < 0.5);
}

void ToneRendererTest::edgesRiseAndFallWithoutClicks() {
    const int64_t edge = std::llround(ToneRenderer::kEdgeMs * kRate / 1000);
    const auto out = Render({Tone(0, 9600, 1000, 1)}, 9600);
    // Within the first and last half millisecond the tone is still almost silent ...
    QVERIFY(PeakIn(out, 0, 24) < 0.03 * 32000);
    QVERIFY(PeakIn(out, 9600 - 24, 9600) < 0.03 * 32000);
    // ... and no neighbouring samples jump further than the sine itself moves.
    const double sineStep = 32000 * 2 * M_PI * 1000 / kRate;
    QVERIFY(audio::MaxStep(out, 0, 9600) <= sineStep + 1);

    // A tone at a quarter of the rate starts at phase 0, so every odd sample is the envelope
    // itself. Half amplitude lies in the middle of each ramp: the element keeps its length.
    const int64_t total = 4800;
    const auto quarter = Render({Tone(0, total, kRate / 4.0, 1)}, total);
    auto envelope = [&](int64_t k) { return std::abs(quarter[k]) / 32000.0; };
    auto halfCrossing = [&](int64_t from, int64_t to, int step) {
        for (int64_t k = from; k != to; k += step) {
            const double a = envelope(k), b = envelope(k + step);
            if ((a - 0.5) * (b - 0.5) <= 0) return k + step * (0.5 - a) / (b - a);
        }
        return -1.0;
    };
    const double rise = halfCrossing(1, edge + 1, 2);
    const double fall = halfCrossing(total - 1, total - edge - 1, -2);
    QVERIFY2(std::abs(rise - (edge / 2.0 - 0.5)) < 0.05, qPrintable(QString::number(rise)));
    QVERIFY2(std::abs(fall - (total - edge / 2.0 - 0.5)) < 0.05, qPrintable(QString::number(fall)));
    QVERIFY(envelope(edge + 1) > 0.999 && envelope(total - edge - 1) > 0.999);

    // A dot at 200 cpm (23.1 ms) still reaches full amplitude between its edges.
    const int64_t dot = std::llround(23.1 * kRate / 1000);
    const auto fast = Render({Tone(0, dot, 800, 1)}, dot);
    QVERIFY(PeakIn(fast, edge, dot - edge) >= 31990);

    // A tone too short for its ramps gets shorter ramps of the same shape, not a click.
    const auto shortTone = Render({Tone(0, 200, 1000, 1)}, 200);
    QVERIFY(PeakIn(shortTone, 0, 5) < 0.03 * 32000);
    QVERIFY(PeakIn(shortTone, 90, 110) > 0.9 * 32000);
}

void ToneRendererTest::phaseRunsOnAcrossBuffers() {
    const std::deque<SoundItem> items = {Tone(100, 5000, 733, 1), Tone(5100, 3000, 911, 2),
                                         Tone(9000, 7000, 733, 3)};
    const auto whole = Render(items, 17000);
    ToneRenderer renderer(kRate);
    ListSource source(items);
    std::vector<int16_t> pieces(17000);
    QRandomGenerator random(7);
    int64_t done = 0;
    while (done < 17000) {
        const int64_t n = std::min<int64_t>(17000 - done, random.bounded(1, 700));
        renderer.render(pieces.data() + done, n, source);
        done += n;
    }
    QVERIFY(pieces == whole);
    QCOMPARE(renderer.position(), int64_t(17000));
}

void ToneRendererTest::stopFadesOutWithinTwentyMs() {
    ToneRenderer renderer(kRate);
    ListSource source({Tone(0, 48000, 800, 1), Tone(30000, 1000, 800, 2)});
    std::vector<int16_t> out(48000);
    renderer.render(out.data(), 12000, source);
    renderer.stopUpTo(2);
    renderer.render(out.data() + 12000, 36000, source);
    // The tone fades instead of breaking off ...
    QVERIFY(audio::MaxStep(out, 11990, 12300) <= 32000 * 2 * M_PI * 800 / kRate + 1);
    QVERIFY(PeakIn(out, 12000, 12048) > 0.5 * 32000);
    // ... and is silent well within 20 ms.
    QCOMPARE(PeakIn(out, 12000 + kRate / 50, 30000), 0);
    // A stop while nothing sounds changes nothing.
    ToneRenderer quiet(kRate);
    ListSource empty({});
    quiet.stopUpTo(5);
    std::vector<int16_t> silence(1000, 1);
    quiet.render(silence.data(), 1000, empty);
    QCOMPARE(PeakIn(silence, 0, 1000), 0);
}

void ToneRendererTest::lateItemStartsAtOnce() {
    ToneRenderer renderer(kRate);
    ListSource source({});
    std::vector<int16_t> out(4000);
    renderer.render(out.data(), 2000, source);
    ListSource late({Tone(1500, 1000, 800, 1), Tone(2500, 1000, 800, 2)});
    renderer.render(out.data() + 2000, 2000, late);
    QCOMPARE(renderer.lateItems(), uint64_t(1));
    // The timeline follows the late item, so the second tone still joins the first.
    QCOMPARE(renderer.position(), int64_t(3500));
    QVERIFY(PeakIn(out, 2000, 3000) > 31000 && PeakIn(out, 3000, 4000) > 31000);
}

void ToneRendererTest::soundFileSamplesPassUnchanged() {
    std::vector<int16_t> pcm(500);
    for (int i = 0; i < 500; ++i) pcm[i] = static_cast<int16_t>(i * 37 - 9000);
    const auto out = Render({SoundItem{100, 500, 0, 0, pcm.data(), 1}}, 700);
    QVERIFY(std::equal(pcm.begin(), pcm.end(), out.begin() + 100));
    QCOMPARE(PeakIn(out, 0, 100), 0);
    QCOMPARE(PeakIn(out, 600, 700), 0);
}

REGISTER_TEST(ToneRendererTest);
#include "tone_renderer_test.moc"
