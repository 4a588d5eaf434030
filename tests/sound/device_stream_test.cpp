#include <QTest>
#include <algorithm>

#include "platform/virtual_clock.h"
#include "sound/device/output_stream.h"
#include "sound/device/portaudio_output.h"
#include "sound/offline_output.h"
#include "support/audio_analysis.h"
#include "support/registry.h"

namespace {
constexpr int kRate = 48000;
constexpr int kBuffer = 256;

// What a fake device did: the latencies it was opened with, whether it runs, and every sample
// the output rendered for it, with the sample count at each start and open.
struct FakeDevice {
    std::vector<double> opens;
    std::vector<size_t> openedAt, startedAt;
    bool running = false;
    bool open = false;
    StreamRenderer* renderer = nullptr;
    std::vector<int16_t> played;
    double granted = -1;        // latency granted (s); -1 grants what is asked
    double reportedDelay = -1;  // delay told before each buffer (s); -1 tells none
    double burstOnStart = 0;    // seconds rendered at once when the stream starts
    bool heldUp = false;        // runs but asks for no buffer, until started anew
    bool dead = false;          // asks for no buffer, whatever is done
};

// Grants whatever latency is asked for; renders only when the test lets time pass.
class FakeStream : public OutputStream {
public:
    explicit FakeStream(FakeDevice& device) : d_(device) {}
    int sampleRate() const override { return kRate; }
    int channels() const override { return 1; }
    bool open(double latencySeconds, StreamRenderer& renderer) override {
        d_.opens.push_back(latencySeconds);
        d_.openedAt.push_back(d_.played.size());
        d_.renderer = &renderer;
        d_.open = true;
        latency_ = d_.granted >= 0 ? d_.granted : latencySeconds;
        return true;
    }
    double latencySeconds() const override { return latency_; }
    bool start() override {
        if (!d_.open) return false;
        d_.running = true;
        d_.heldUp = false;
        d_.startedAt.push_back(d_.played.size());
        // A device that fills its whole buffer at once, as a starving one may.
        std::vector<int16_t> buffer(kBuffer);
        for (int i = 0; i < std::lround(d_.burstOnStart * kRate / kBuffer); ++i) {
            d_.renderer->renderDeviceBuffer(buffer.data(), kBuffer, false);
            d_.played.insert(d_.played.end(), buffer.begin(), buffer.end());
        }
        return true;
    }
    void abort() override { d_.running = false; }
    void drain() override { d_.running = false; }
    void close() override {
        d_.running = false;
        d_.open = false;
    }

private:
    FakeDevice& d_;
    double latency_ = 0;
};

// Lets `seconds` pass a buffer at a time; a running device takes a buffer each time.
void Play(FakeDevice& device, VirtualClock& clock, double seconds) {
    std::vector<int16_t> buffer(kBuffer);
    for (int i = 0; i < std::lround(seconds * kRate / kBuffer); ++i) {
        if (device.running && !device.heldUp && !device.dead) {
            if (device.reportedDelay >= 0) device.renderer->setBufferDelay(device.reportedDelay);
            device.renderer->renderDeviceBuffer(buffer.data(), kBuffer, false);
            device.played.insert(device.played.end(), buffer.begin(), buffer.end());
        }
        clock.advance(static_cast<double>(kBuffer) / kRate);
    }
}

std::vector<ToneSegment> Dits(int count, double ms) {
    std::vector<ToneSegment> tones;
    for (int i = 0; i < count; ++i) {
        tones.push_back({800, ms, 32000});
        tones.push_back({0, ms, 0});
    }
    return tones;
}

// The marks of `samples` from `from` on.
std::vector<audio::Mark> MarksFrom(const std::vector<int16_t>& samples, size_t from) {
    return audio::FindMarks(std::vector<int16_t>(samples.begin() + from, samples.end()), 24);
}

// The length of each mark the same tones make on the offline output.
std::vector<int64_t> ExpectedLengths(const std::vector<ToneSegment>& tones) {
    VirtualClock clock;
    OfflineOutput offline(clock, kRate);
    offline.queueTones(tones);
    clock.advance(offline.secondsQueued());
    std::vector<int64_t> lengths;
    for (const auto& mark : audio::FindMarks(offline.samples(), 24))
        lengths.push_back(mark.last - mark.first);
    return lengths;
}

std::vector<int64_t> Lengths(const std::vector<audio::Mark>& marks) {
    std::vector<int64_t> lengths;
    for (const auto& mark : marks) lengths.push_back(mark.last - mark.first);
    return lengths;
}
}  // namespace

class DeviceStreamTest : public QObject {
    Q_OBJECT
private slots:
    void stopsWhenIdleAndStartsTheNextSoundWhole();
    void latencyFollowsTheNeedBetweenSounds();
    void keepOpenHoldsTheStreamThroughSilence();
    void aKeyPlayedByHandFindsTheSmallestBufferWithoutUnderflows();
    void aSmallerAskThanTheDeviceGrantsIsNotKept();
    void bandFadesOutBeforeTheStreamStops();
    void soundFileIsKeptUntilItHasBeenPlayed();
    void nextSoundFollowsTheTimelineNotTheListener();
    void nextCharacterKeepsItsPlaceAfterABurstOfBuffers();
    void heardEndFollowsWhatTheDeviceTells();
    void underflowsAndLateSoundsAreCountedApart();
    void aDeviceHeldUpIsOpenedAnewAndPlaysWhatIsLeft();
};

void DeviceStreamTest::stopsWhenIdleAndStartsTheNextSoundWhole() {
    VirtualClock clock;
    FakeDevice device;
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    QVERIFY(output);
    QCOMPARE(device.opens, std::vector<double>({PortAudioOutput::kRunLatencySeconds}));
    QVERIFY(!device.running);  // nothing to hear yet
    QVERIFY(output->idle());

    const auto tones = Dits(3, 50);
    output->queueTones(tones);
    QVERIFY(device.running);
    Play(device, clock, 1.5);
    QVERIFY(output->idle());
    QVERIFY(device.running);  // not yet two seconds of silence
    Play(device, clock, 1.5);
    QVERIFY(!device.running);
    QVERIFY(!output->streaming());
    const size_t stoppedAt = device.played.size();
    QVERIFY(stoppedAt <= static_cast<size_t>(2.7 * kRate));
    Play(device, clock, 5);
    QCOMPARE(device.played.size(), stoppedAt);  // a stopped stream costs nothing
    QVERIFY(output->idle());

    // The next sound starts the stream and is the first thing it plays, whole.
    output->queueTones(tones);
    QCOMPARE(device.startedAt.size(), size_t(2));
    QVERIFY(!output->idle());
    Play(device, clock, 1.0);
    const auto marks = MarksFrom(device.played, device.startedAt[1]);
    QCOMPARE(Lengths(marks), ExpectedLengths(tones));
    // Heard within 100 ms of the request: the first sample comes with the first buffer.
    QVERIFY(marks[0].first + output->latencySeconds() * kRate <= 0.1 * kRate);
    QCOMPARE(output->underruns(), uint64_t(0));
}

void DeviceStreamTest::latencyFollowsTheNeedBetweenSounds() {
    VirtualClock clock;
    FakeDevice device;
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    const auto first = Dits(10, 60);
    const auto second = Dits(4, 60);
    output->queueTones(first);
    Play(device, clock, 0.3);
    // Keyboard mode begins while the run's characters still sound: the switch waits.
    output->setNeed({.promptResponse = true, .keepOpen = true});
    output->queueTones(second);
    QCOMPARE(device.opens.size(), size_t(1));
    Play(device, clock, 2.0);
    QCOMPARE(device.opens, std::vector<double>({PortAudioOutput::kRunLatencySeconds,
                                                PortAudioOutput::kPromptLatencySeconds}));
    QVERIFY(device.running);  // kept open for the keys to come

    // Every element of the queued sequence whole, the second part right after the first, and
    // the switch only once all of it had been heard.
    auto all = first;
    all.insert(all.end(), second.begin(), second.end());
    const auto marks = MarksFrom(device.played, 0);
    QCOMPARE(Lengths(marks), ExpectedLengths(all));
    QCOMPARE(marks[10].first - marks[9].first, marks[9].first - marks[8].first);
    QVERIFY(static_cast<int64_t>(device.openedAt[1]) >=
            marks.back().last + std::llround(PortAudioOutput::kRunLatencySeconds * kRate));

    // A key after the switch: placed one device buffer ahead, whole.
    const size_t before = device.played.size();
    output->queueTones(Dits(1, 60));
    Play(device, clock, 0.3);
    const auto key = MarksFrom(device.played, before);
    QCOMPARE(Lengths(key), ExpectedLengths(Dits(1, 60)));
    QVERIFY(key[0].first <= 2 * kBuffer);

    // Back to a run: no stream while nothing sounds, then the generous buffer again.
    output->setNeed({});
    QVERIFY(!device.running && !device.open);
    output->queueTones(Dits(1, 60));
    QCOMPARE(device.opens.back(), PortAudioOutput::kRunLatencySeconds);
    QVERIFY(device.running);
    QCOMPARE(output->underruns(), uint64_t(0));
}

void DeviceStreamTest::keepOpenHoldsTheStreamThroughSilence() {
    VirtualClock clock;
    FakeDevice device;
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    {
        SoundNeedScope drill(*output, {.keepOpen = true});
        QVERIFY(device.running);
        output->queueTones(Dits(2, 50));
        Play(device, clock, 10);
        QVERIFY(device.running);
        QCOMPARE(device.opens.size(), size_t(1));  // same latency: no reopening
    }
    QCOMPARE(output->need(), SoundNeed{});
    Play(device, clock, 2.5);
    QVERIFY(!device.running);
}

void DeviceStreamTest::aKeyPlayedByHandFindsTheSmallestBufferWithoutUnderflows() {
    VirtualClock clock;
    FakeDevice device;
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    const auto& steps = PortAudioOutput::kSmallestLatencySteps;
    const auto underflow = [&] {
        std::vector<int16_t> buffer(kBuffer);
        device.renderer->renderDeviceBuffer(buffer.data(), kBuffer, true);
    };
    std::vector<size_t> told;
    output->onSmallestStepGrown([&told](size_t step) { told.push_back(step); });
    {
        SoundNeedScope live(*output,
                            {.promptResponse = true, .keepOpen = true, .smallestBuffer = true});
        QVERIFY(device.running);
        QCOMPARE(device.opens.back(), steps[0]);
        // An underflow: the next larger buffer, at once while nothing sounds.
        underflow();
        Play(device, clock, 0.3);
        QVERIFY(device.running);
        QCOMPARE(device.opens.back(), steps[1]);
        // Not while the key is down: reopening would cut its tone.
        const size_t opens = device.opens.size();
        output->sidetone().setKey(true, 0);
        underflow();
        Play(device, clock, 1);
        QCOMPARE(device.opens.size(), opens);
        output->sidetone().setKey(false, 0);
        Play(device, clock, 0.3);
        QCOMPARE(device.opens.back(), steps[2]);
        // A buffer that holds stays.
        Play(device, clock, 5);
        QCOMPARE(device.opens.size(), opens + 1);
        // The largest step is the last one tried.
        for (size_t i = 0; i < steps.size(); ++i) {
            underflow();
            Play(device, clock, 0.3);
        }
        QCOMPARE(device.opens.back(), steps.back());
        QCOMPARE(told, std::vector<size_t>({1, 2, 3, 4}));
    }
    // Other needs keep their own buffers; the step found is where a key played by hand starts.
    output->queueTones(Dits(1, 60));
    QCOMPARE(device.opens.back(), PortAudioOutput::kRunLatencySeconds);
    Play(device, clock, 3);
    SoundNeedScope again(*output,
                         {.promptResponse = true, .keepOpen = true, .smallestBuffer = true});
    QCOMPARE(device.opens.back(), steps.back());

    // The next session starts at the step found, and a step out of range is the largest.
    FakeDevice next;
    auto later = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(next));
    later->startSmallestAt(output->smallestStep() - 2);
    SoundNeedScope key(*later, {.promptResponse = true, .keepOpen = true, .smallestBuffer = true});
    QCOMPARE(next.opens.back(), steps[steps.size() - 3]);
    later->startSmallestAt(99);
    QCOMPARE(later->smallestLatencySeconds(), steps.back());
}

void DeviceStreamTest::aSmallerAskThanTheDeviceGrantsIsNotKept() {
    VirtualClock clock;
    FakeDevice device;
    device.granted = 0.0107;  // what PulseAudio's ALSA plugin grants to any smaller ask
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    std::vector<size_t> told;
    output->onSmallestStepGrown([&told](size_t step) { told.push_back(step); });
    SoundNeedScope live(*output, {.promptResponse = true, .keepOpen = true, .smallestBuffer = true});
    const auto& steps = PortAudioOutput::kSmallestLatencySteps;
    QCOMPARE(device.opens,
             std::vector<double>({PortAudioOutput::kRunLatencySeconds, steps[0], steps[2]}));
    QCOMPARE(told, std::vector<size_t>({2}));
    QVERIFY(device.running);
    QVERIFY(std::abs(output->latencySeconds() - 0.0107) < 1e-4);
}

void DeviceStreamTest::bandFadesOutBeforeTheStreamStops() {
    VirtualClock clock;
    FakeDevice device;
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    BandSettings band;
    band.enabled = true;
    output->setBandConditions(band, nullptr);
    output->queueTones(Dits(3, 50));
    // Two seconds of silence after the dits would stop a stream without a band.
    Play(device, clock, 0.3 + BandMixer::TailSeconds() - 0.2);
    QVERIFY(device.running);
    Play(device, clock, 3);
    QVERIFY(!device.running);
    // The noise went on after the dits and had faded out before the stream stopped.
    const auto peak = [&](size_t from, size_t to) {
        int most = 0;
        for (size_t i = from; i < to; ++i) most = std::max(most, std::abs(int{device.played[i]}));
        return most;
    };
    const size_t end = device.played.size();
    QVERIFY(peak(kRate, 2 * kRate) > 100);
    QVERIFY(peak(end - kRate / 100, end) * 100 <= peak(kRate, 2 * kRate));
}

void DeviceStreamTest::soundFileIsKeptUntilItHasBeenPlayed() {
    VirtualClock clock;
    FakeDevice device;
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    std::vector<int16_t> file(kRate / 2);
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<int16_t>(1000 + i % 2000);
    auto samples = std::make_shared<const std::vector<int16_t>>(file);
    const std::weak_ptr<const std::vector<int16_t>> held = samples;
    output->queuePcm(std::move(samples));
    Play(device, clock, 0.2);
    // Queuing more gives up what the device has finished with; the file is still being read.
    output->queueTones(Dits(1, 50));
    QVERIFY(!held.expired());
    Play(device, clock, 1.0);
    const auto first = std::find_if(device.played.begin(), device.played.end(),
                                    [](int16_t sample) { return sample != 0; });
    QVERIFY(device.played.end() - first >= static_cast<ptrdiff_t>(file.size()));
    QVERIFY(std::equal(file.begin(), file.end(), first));
    // Once played, it is let go.
    output->queueTones(Dits(1, 50));
    QVERIFY(held.expired());
}

void DeviceStreamTest::nextSoundFollowsTheTimelineNotTheListener() {
    VirtualClock clock;
    FakeDevice device;
    device.granted = 0.100;  // a headset's buffer, longer than the silence after a character
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    BandSettings band;
    band.enabled = true;
    band.snrDb = 30;  // faint noise: the dits stand out
    output->setBandConditions(band, nullptr);
    // A character: a dit, then 160 ms of silence that end it.
    const std::vector<ToneSegment> character = {{800, 40, 32000}, {0, 160, 0}};
    output->queueTones(character);
    // The device has taken the character up to its last moments: the next may be queued,
    // though the silence has not been heard yet, and the band's noise goes on.
    const double queuedAt = clock.monotonicSeconds();
    int buffers = 0;
    while (!output->idle()) {
        Play(device, clock, static_cast<double>(kBuffer) / kRate);
        QVERIFY(++buffers < 100);
    }
    QVERIFY(output->bandAudible());
    QVERIFY(clock.monotonicSeconds() - queuedAt < 0.200 - 0.040);
    QVERIFY(output->heardEndSeconds() > clock.monotonicSeconds());
    output->queueTones(character);
    Play(device, clock, 0.5);
    // Noise fills the silence, so the dits are found by their loudness.
    int loudest = 0;
    for (int16_t v : device.played) loudest = std::max(loudest, std::abs(int{v}));
    std::vector<int64_t> onsets;
    for (size_t i = 0; i < device.played.size(); ++i) {
        if (std::abs(int{device.played[i]}) > loudest / 2 &&
            (onsets.empty() || static_cast<int64_t>(i) - onsets.back() > kRate / 20)) {
            onsets.push_back(static_cast<int64_t>(i));
        }
    }
    QCOMPARE(onsets.size(), size_t(2));
    // 200 ms apart, to within one period of the tone (the phase runs on from dit to dit).
    QVERIFY(std::abs(onsets[1] - onsets[0] - kRate / 5) <= kRate / 800);
    QCOMPARE(output->underruns(), uint64_t(0));
}

void DeviceStreamTest::nextCharacterKeepsItsPlaceAfterABurstOfBuffers() {
    VirtualClock clock;
    FakeDevice device;
    device.granted = 0.100;
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    const std::vector<ToneSegment> character = {{800, 40, 32000}, {0, 160, 0}};
    output->queueTones(character);
    Play(device, clock, 0.040);
    QVERIFY(!output->idle());
    // The window thread is held up while the device catches up, taking 80 ms of buffers at
    // once: it is now closer to the character's end than a lead, but has not reached it.
    std::vector<int16_t> buffer(kBuffer);
    for (int i = 0; i < std::lround(0.080 * kRate / kBuffer); ++i) {
        device.renderer->renderDeviceBuffer(buffer.data(), kBuffer, false);
        device.played.insert(device.played.end(), buffer.begin(), buffer.end());
    }
    QVERIFY(output->idle());
    output->queueTones(character);
    Play(device, clock, 0.5);
    const auto marks = audio::FindMarks(device.played, 24);
    QCOMPARE(marks.size(), size_t(2));
    QVERIFY(std::abs(marks[1].first - marks[0].first - kRate / 5) <= 2);
    QCOMPARE(output->underruns(), uint64_t(0));
    // Once the device has played past the end of what is queued, the next sound starts a lead
    // ahead of it, so that the ring holds it in time.
    Play(device, clock, 0.5);
    const size_t before = device.played.size();
    output->queueTones(character);
    Play(device, clock, 0.3);
    const auto late = MarksFrom(device.played, before);
    QCOMPARE(late.size(), size_t(1));
    QVERIFY(std::abs(late[0].first - (kRate / 10 + marks[0].first)) <= 2);
    QCOMPARE(output->underruns(), uint64_t(0));
}

void DeviceStreamTest::heardEndFollowsWhatTheDeviceTells() {
    for (const double told : {-1.0, 0.0371}) {
        VirtualClock clock;
        FakeDevice device;
        device.granted = 0.080;
        device.reportedDelay = told;
        auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
        const double origin = clock.monotonicSeconds();
        output->queueTones({{800, 100, 32000}, {0, 100, 0}});
        Play(device, clock, 0.05);
        // The tone's last sample is the 4800th of the stream; it reaches the listener after
        // the delay the device tells, or else the latency it granted.
        const double delay = told >= 0 ? told : 0.080;
        QVERIFY(std::abs(output->heardEndSeconds() - (origin + 0.100 + delay)) < 1e-6);
        // Once the stream has been stopped and started again, the new stream's moments count.
        Play(device, clock, 4);
        QVERIFY(!device.running);
        const double restart = clock.monotonicSeconds();
        output->queueTones({{800, 50, 32000}, {0, 50, 0}});
        Play(device, clock, 0.02);
        QVERIFY(std::abs(output->heardEndSeconds() - (restart + 0.050 + delay)) < 1e-6);
    }
}

void DeviceStreamTest::underflowsAndLateSoundsAreCountedApart() {
    VirtualClock clock;
    {
        FakeDevice device;
        auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
        output->queueTones(Dits(3, 50));
        std::vector<int16_t> buffer(kBuffer);
        for (bool flagged : {false, true, false, true, true}) {
            device.renderer->renderDeviceBuffer(buffer.data(), kBuffer, flagged);
        }
        QCOMPARE(output->deviceUnderflows(), uint64_t(3));
        QCOMPARE(output->lateSounds(), uint64_t(0));
        QCOMPARE(QString::fromStdString(output->underrunReport()),
                 QStringLiteral("Die Tonausgabe hatte Aussetzer bei 60 ms Latenz: 3 "
                                "Pufferunterläufe des Geräts, 0 zu spät gelieferte Töne."));
    }
    {
        // More dits than the ring holds: the device, started when the ring is full, plays past
        // the start of those still to come before they are handed over.
        FakeDevice device;
        device.burstOnStart = 3.0;
        auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
        output->queueTones(Dits(1100, 1));
        Play(device, clock, 0.1);
        QVERIFY(output->lateSounds() > 0);
        QCOMPARE(output->deviceUnderflows(), uint64_t(0));
        const QString line = QString::fromStdString(output->underrunReport());
        QVERIFY2(line.contains(QStringLiteral(" 0 Pufferunterläufe des Geräts, %1 zu spät")
                                   .arg(output->lateSounds())),
                 qPrintable(line));
    }
}

void DeviceStreamTest::aDeviceHeldUpIsOpenedAnewAndPlaysWhatIsLeft() {
    VirtualClock clock;
    FakeDevice device;
    auto output = PortAudioOutput::OnStream(clock, std::make_unique<FakeStream>(device));
    const auto tones = Dits(8, 60);
    output->queueTones(tones);
    Play(device, clock, 0.3);
    // The device stops asking for buffers in the middle of the run.
    device.heldUp = true;
    Play(device, clock, 0.7);
    QCOMPARE(device.opens.size(), size_t(2));
    QVERIFY(!device.heldUp);
    // Every dit is heard whole, the rest later by the time the device stood still.
    Play(device, clock, 1.5);
    QCOMPARE(Lengths(MarksFrom(device.played, device.startedAt[0])), ExpectedLengths(tones));
    // A device that never moves again is opened anew once, then left to the clock rather
    // than opened over and over.
    output->queueTones(tones);
    Play(device, clock, 0.1);
    device.dead = true;
    const size_t opens = device.opens.size();
    Play(device, clock, 3);
    QCOMPARE(device.opens.size(), opens + 1);
    QVERIFY(output->idle());
}

REGISTER_TEST(DeviceStreamTest);
#include "device_stream_test.moc"
