#include <QTest>
#include <cmath>
#include <thread>

#include "platform/virtual_clock.h"
#include "sound/clocked_output.h"
#include "sound/device/portaudio_output.h"
#include "sound/offline_output.h"
#include "sound/spsc_ring.h"
#include "support/audio_analysis.h"
#include "support/registry.h"

namespace {
std::vector<ToneSegment> Dits(int count, double ms, double hz = 800) {
    std::vector<ToneSegment> tones;
    for (int i = 0; i < count; ++i) {
        tones.push_back({hz, ms, 32000});
        tones.push_back({0, ms, 0});
    }
    return tones;
}

// Runs a detached device output until it has played everything, a buffer at a time.
std::vector<int16_t> Drain(PortAudioOutput& device, VirtualClock& clock, int buffers) {
    std::vector<int16_t> out;
    std::vector<int16_t> buffer(256 * device.channels());
    for (int i = 0; i < buffers; ++i) {
        device.renderDeviceBuffer(buffer.data(), 256, false);
        out.insert(out.end(), buffer.begin(), buffer.end());
        clock.advance(256.0 / device.sampleRate());
    }
    return out;
}
}  // namespace

class SoundOutputTest : public QObject {
    Q_OBJECT
private slots:
    void longRunDoesNotDrift();
    void offlineBufferFollowsTheClock();
    void stopFadesAndNextSoundFollowsTheFade();
    void deviceOutputRendersWhatOfflineRenders();
    void deviceOutputLetsGoOfSoundFiles();
    void ringKeepsOrderAcrossThreads();
};

void SoundOutputTest::longRunDoesNotDrift() {
    // 46.2 ms is 2037.42 samples at 44.1 kHz: the fractions must add up, not be dropped.
    VirtualClock clock;
    ClockedOutput output(clock, 44100);
    int64_t frames = 0;
    for (int i = 0; i < 5000; ++i) frames += output.framesFor(46.2);
    QVERIFY(std::llabs(frames - std::llround(5000 * 46.2 * 44.1)) <= 1);

    VirtualClock clock2;
    OfflineOutput offline(clock2, 44100);
    offline.queueTones(Dits(2000, 46.2));
    clock2.advance(offline.secondsQueued());
    QVERIFY(offline.idle());
    const auto expected = static_cast<int64_t>(std::floor(4000 * 46.2 * 44.1 + 1e-6));
    QVERIFY(std::llabs(static_cast<int64_t>(offline.samples().size()) - expected) <= 1);
    QCOMPARE(audio::FindMarks(offline.samples(), 100).size(), size_t(2000));
}

void SoundOutputTest::offlineBufferFollowsTheClock() {
    VirtualClock clock;
    OfflineOutput output(clock, 48000);
    output.queueTones({{800, 100, 32000}});
    QVERIFY(!output.idle());
    QCOMPARE(output.secondsQueued(), 0.1);
    clock.advance(0.5);  // a pause that the listener hears as silence
    output.queueTones({{800, 100, 32000}});
    clock.advance(output.secondsQueued());
    const auto& samples = output.samples();
    QCOMPARE(samples.size(), size_t(28800));
    const auto marks = audio::FindMarks(samples, 100);
    QCOMPARE(marks.size(), size_t(2));
    // The edge starts so softly that its first few samples round to zero.
    QVERIFY(marks[1].first >= 24000 && marks[1].first < 24012);
    QCOMPARE(output.lateItems(), uint64_t(0));
}

void SoundOutputTest::stopFadesAndNextSoundFollowsTheFade() {
    VirtualClock clock;
    OfflineOutput output(clock, 48000);
    output.stop();  // nothing sounds: harmless
    QVERIFY(output.idle());
    output.queueTones({{800, 1000, 32000}});
    clock.advance(0.25);
    output.stop();
    QVERIFY(output.secondsQueued() <= 0.02);
    clock.advance(0.1);
    output.queueTones({{800, 50, 32000}});
    clock.advance(output.secondsQueued());
    const auto& samples = output.samples();
    const double step = 32000 * 2 * M_PI * 800 / 48000;
    QVERIFY(audio::MaxStep(samples, 0, static_cast<int64_t>(samples.size())) <= step + 1);
    const auto marks = audio::FindMarks(samples, 24);
    QCOMPARE(marks.size(), size_t(2));
    QVERIFY(marks[0].last < 12000 + 960);  // silent within 20 ms of the stop
    QVERIFY(marks[1].first > marks[0].last);
    QCOMPARE(output.lateItems(), uint64_t(0));
}

void SoundOutputTest::deviceOutputRendersWhatOfflineRenders() {
    for (int channels : {1, 2}) {
        VirtualClock deviceClock, offlineClock;
        auto device = PortAudioOutput::Detached(deviceClock, 48000, channels);
        OfflineOutput offline(offlineClock, 48000);
        const auto tones = Dits(5, 20.3, 700);
        device->queueTones(tones);
        offline.queueTones(tones);
        // The device's position, not the clock, says when it has finished.
        deviceClock.advance(1.0);
        QVERIFY(!device->idle());
        auto played = Drain(*device, deviceClock, 60);
        QVERIFY(device->idle());
        // A stop at a buffer boundary, in the middle of a tone.
        device->queueTones({{900, 400, 32000}});
        auto more = Drain(*device, deviceClock, 10);
        device->stop();
        more = [&] {
            auto rest = Drain(*device, deviceClock, 10);
            more.insert(more.end(), rest.begin(), rest.end());
            return more;
        }();
        played.insert(played.end(), more.begin(), more.end());

        offlineClock.advance(60 * 256 / 48000.0);
        offline.queueTones({{900, 400, 32000}});
        offlineClock.advance(10 * 256 / 48000.0);
        offline.stop();
        offlineClock.advance(10 * 256 / 48000.0);
        const auto& expected = offline.samples();
        QCOMPARE(played.size(), expected.size() * channels);
        for (size_t i = 0; i < expected.size(); ++i) {
            for (int c = 0; c < channels; ++c) QCOMPARE(played[i * channels + c], expected[i]);
        }
        QCOMPARE(device->underruns(), uint64_t(0));
    }
}

void SoundOutputTest::deviceOutputLetsGoOfSoundFiles() {
    VirtualClock clock;
    auto device = PortAudioOutput::Detached(clock, 48000, 1);
    auto pcm = std::make_shared<const std::vector<int16_t>>(1000, int16_t{1234});
    device->queuePcm(pcm);
    QVERIFY(pcm.use_count() > 1);  // the callback reads it without owning it
    const auto out = Drain(*device, clock, 5);
    QCOMPARE(out[999], int16_t{1234});
    QCOMPARE(out[1000], int16_t{0});
    QVERIFY(device->idle());
    device->queueTones({{800, 10, 32000}});
    QCOMPARE(pcm.use_count(), 1L);
}

void SoundOutputTest::ringKeepsOrderAcrossThreads() {
    SpscRing<int, 64> ring;
    constexpr int kCount = 200000;
    std::thread producer([&] {
        for (int i = 0; i < kCount;) {
            if (ring.push(i)) {
                ++i;
            } else {
                std::this_thread::yield();
            }
        }
    });
    int expected = 0;
    bool inOrder = true;
    while (expected < kCount) {
        if (const int* value = ring.front()) {
            inOrder = inOrder && *value == expected;
            ring.pop();
            ++expected;
        } else {
            std::this_thread::yield();
        }
    }
    producer.join();
    QVERIFY(inOrder);
    QVERIFY(ring.front() == nullptr);
}

REGISTER_TEST(SoundOutputTest);
#include "sound_output_test.moc"
