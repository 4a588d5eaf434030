#include "sound/sidetone.h"

#include <QTest>
#include <algorithm>
#include <cmath>

#include "platform/virtual_clock.h"
#include "sound/device/output_stream.h"
#include "sound/device/portaudio_output.h"
#include "support/registry.h"

namespace {
constexpr int kRate = 48000;
constexpr int kEdgeFrames = kRate * 5 / 1000;

std::vector<int16_t> Block(Sidetone& tone, int frames, int channels = 1) {
    std::vector<int16_t> out(static_cast<size_t>(frames * channels), 0);
    tone.mixInto(out.data(), frames, channels);
    return out;
}

int Peak(const std::vector<int16_t>& s, size_t from, size_t to) {
    int most = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i)
        most = std::max(most, std::abs(int{s[i]}));
    return most;
}

int LargestStep(const std::vector<int16_t>& s) {
    int most = 0;
    for (size_t i = 1; i < s.size(); ++i) most = std::max(most, std::abs(s[i] - s[i - 1]));
    return most;
}

// Records what a device took; opened and started by the output, rendered by the test.
class FakeStream : public OutputStream {
public:
    StreamRenderer* renderer = nullptr;
    bool running = false;
    int sampleRate() const override { return kRate; }
    int channels() const override { return 2; }
    bool open(double, StreamRenderer& r) override {
        renderer = &r;
        return true;
    }
    double latencySeconds() const override { return 0.01; }
    bool start() override { return running = true; }
    void abort() override { running = false; }
    void drain() override { running = false; }
    void close() override { running = false; }
};
}  // namespace

class SidetoneTest : public QObject {
    Q_OBJECT
private slots:
    void keyDownRisesAtOnceAndFallsCleanly();
    void tapShorterThanAnEdgeTurnsWithoutAJump();
    void mixesOntoWhatIsThereAndSaturates();
    void keyEventStartsTheEdgeInTheNextDeviceBuffer();
};

void SidetoneTest::keyDownRisesAtOnceAndFallsCleanly() {
    Sidetone tone(kRate);
    tone.setPitch(600);
    QVERIFY(Peak(Block(tone, 480), 0, 480) == 0);  // nothing while the key is up
    tone.setKey(true, 1000);
    QVERIFY(tone.keyDown());
    QCOMPARE(tone.keyChangedUs(), int64_t(1000));
    auto s = Block(tone, 4800);
    // Rising from the first sample, full after the 5 ms edge, never a jump.
    QVERIFY(std::abs(s[0]) < 50);
    QVERIFY(Peak(s, 0, 48) > 0);
    QVERIFY(Peak(s, 0, kEdgeFrames / 4) < 24000 / 4);
    QVERIFY(Peak(s, kEdgeFrames, 4800) > 23500);
    QVERIFY(LargestStep(s) <= 2 * 24000 * std::sin(M_PI * 600 / kRate) + 2);
    // The pitch: 600 zero crossings upward a second.
    int crossings = 0;
    for (size_t i = kEdgeFrames + 1; i < s.size(); ++i) crossings += s[i - 1] < 0 && s[i] >= 0;
    const double expected = 600.0 * (4800 - kEdgeFrames - 1) / kRate;
    QVERIFY(std::abs(crossings - expected) <= 1);
    tone.setKey(false, 2000);
    s = Block(tone, 960);
    QVERIFY(Peak(s, 0, 48) > 20000);  // falls, does not stop dead
    QCOMPARE(Peak(s, kEdgeFrames, 960), 0);
    QVERIFY(LargestStep(s) <= 2 * 24000 * std::sin(M_PI * 600 / kRate) + 2);
    QVERIFY(!tone.sounding());
}

void SidetoneTest::tapShorterThanAnEdgeTurnsWithoutAJump() {
    Sidetone tone(kRate);
    tone.setKey(true, 0);
    std::vector<int16_t> all = Block(tone, 64);  // 1.3 ms into the rise
    tone.setKey(false, 1333);
    const auto rest = Block(tone, 960);
    all.insert(all.end(), rest.begin(), rest.end());
    // The fall starts where the rise stood: no step larger than the tone itself makes.
    QVERIFY(LargestStep(all) <= 2 * 24000 * std::sin(M_PI * 800 / kRate) * 0.5);
    QVERIFY(Peak(all, 64, 70) > 0);
    QCOMPARE(Peak(all, 64 + 96, all.size()), 0);  // gone well within one edge
}

void SidetoneTest::mixesOntoWhatIsThereAndSaturates() {
    Sidetone tone(kRate);
    tone.setAmplitude(30000);
    tone.setKey(true, 0);
    std::vector<int16_t> out(2 * 4800, 20000);
    tone.mixInto(out.data(), 4800, 2);
    // Both channels alike, added, and clipped instead of wrapping.
    for (size_t i = 0; i < 4800; ++i) QCOMPARE(out[2 * i], out[2 * i + 1]);
    QCOMPARE(*std::max_element(out.begin(), out.end()), int16_t(32767));
    QVERIFY(*std::min_element(out.begin(), out.end()) < -9000);
    QVERIFY(*std::min_element(out.begin(), out.end()) >= -10000);
}

void SidetoneTest::keyEventStartsTheEdgeInTheNextDeviceBuffer() {
    VirtualClock clock;
    auto stream = std::make_unique<FakeStream>();
    FakeStream& device = *stream;
    auto output = PortAudioOutput::OnStream(clock, std::move(stream));
    QVERIFY(output);
    SoundNeedScope sending(*output, {.promptResponse = true, .keepOpen = true});
    QVERIFY(device.running);
    constexpr int kBuffer = 128;
    std::vector<int16_t> buffer(2 * kBuffer);
    const auto take = [&] {
        device.renderer->renderDeviceBuffer(buffer.data(), kBuffer, false);
        clock.advance(static_cast<double>(kBuffer) / kRate);
        return Peak(buffer, 0, buffer.size());
    };
    for (int i = 0; i < 10; ++i) QCOMPARE(take(), 0);
    // The key closes between two buffers: the very next one rises, from its start.
    output->sidetone().setKey(true, std::llround(clock.monotonicSeconds() * 1e6));
    device.renderer->renderDeviceBuffer(buffer.data(), kBuffer, false);
    QVERIFY(Peak(buffer, 0, 2 * 24) > 0);
    QVERIFY(Peak(buffer, 0, buffer.size()) < 24000);  // an edge, not a step
    for (int i = 0; i < 4; ++i) take();
    QVERIFY(take() > 23000);
    output->sidetone().setKey(false, std::llround(clock.monotonicSeconds() * 1e6));
    take();
    take();
    take();
    QCOMPARE(take(), 0);
    QCOMPARE(output->underruns(), uint64_t(0));
}

REGISTER_TEST(SidetoneTest);
#include "sidetone_test.moc"
