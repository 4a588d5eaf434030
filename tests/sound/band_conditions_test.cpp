#include <QTest>
#include <cmath>
#include <complex>
#include <numbers>

#include "platform/virtual_clock.h"
#include "sound/band/band_mixer.h"
#include "sound/band/receiver_filter.h"
#include "sound/device/portaudio_output.h"
#include "sound/offline_output.h"
#include "support/audio_analysis.h"
#include "support/registry.h"

namespace {
constexpr int kRate = 8000;
constexpr double kPitchHz = 800;

using Samples = std::vector<int16_t>;

std::shared_ptr<const QrmTraffic> Traffic() {
    // CQ CQ DE DL1ABC K
    return std::make_shared<const QrmTraffic>(
        QrmTraffic{{"-.-. --.-/-.-. --.-/-.. ./-.. .-.. .---- .- -... -.-./-.-",
                    "..--- ..--- -..-/.----. . ..... -. -./-.-"}});
}

BandSettings Only(bool noise, bool qsb, bool qrm, bool qrn) {
    BandSettings s;
    s.enabled = true;
    s.noiseOn = noise;
    s.qsbOn = qsb;
    s.qrmOn = qrm;
    s.qrnOn = qrn;
    s.filterHz = 2400;
    s.seed = 7;
    return s;
}

// Renders the tones through the export's output, then `tailS` seconds more; with `settings`
// null the band conditions are never touched. `stepS` > 0 takes the samples piecewise.
Samples Render(const BandSettings* settings, const std::vector<ToneSegment>& tones, double tailS,
               double stepS = 0) {
    VirtualClock clock;
    OfflineOutput output(clock, kRate);
    if (settings) output.setBandConditions(*settings, Traffic());
    output.queueTones(tones);
    const double total = output.secondsQueued() + tailS;
    if (stepS > 0) {
        for (double t = 0; t + stepS < total; t += stepS) {
            clock.advance(stepS);
            output.samples();
        }
    }
    clock.advance(total - clock.monotonicSeconds());
    return output.samples();
}

// Power of samples[first, first + n) (n a power of two, Hann window) within `halfHz` of `hz`.
double BandPower(const Samples& x, int64_t first, size_t n, double hz, double halfHz) {
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
        a[i] = w * x[first + i];
    }
    audio::Fft(a);
    double sum = 0;
    for (size_t k = 0; k < n / 2; ++k) {
        if (std::abs(k * static_cast<double>(kRate) / n - hz) <= halfHz) sum += std::norm(a[k]);
    }
    return sum;
}

// Envelope of a tone at kPitchHz: quadrature mix and a 4 ms moving average.
std::vector<double> Envelope(const Samples& x) {
    const int width = kRate * 4 / 1000;
    std::vector<double> env(x.size());
    std::complex<double> sum = 0;
    std::vector<std::complex<double>> mixed(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        mixed[i] =
            std::polar(static_cast<double>(x[i]), -2 * std::numbers::pi * kPitchHz * i / kRate);
        sum += mixed[i];
        if (i >= static_cast<size_t>(width)) sum -= mixed[i - width];
        env[i] = std::abs(sum) / width;
    }
    return env;
}

// Frame where the envelope crosses half of its level next to the edge, on the rising edge
// after `first` or on the falling edge before `last`; fading makes a mark's ends unequal.
int64_t HalfCrossing(const std::vector<double>& env, int64_t first, int64_t last, bool rising) {
    const int64_t near = kRate * 15 / 1000;
    const int64_t margin = kRate / 50;
    if (rising) {
        const double level = *std::max_element(env.begin() + first, env.begin() + first + near);
        for (int64_t i = std::max<int64_t>(0, first - margin); i < last; ++i) {
            if (env[i] >= level / 2) return i;
        }
    } else {
        const double level = *std::max_element(env.begin() + last - near, env.begin() + last);
        const auto end = static_cast<int64_t>(env.size()) - 1;
        for (int64_t i = std::min(end, last + margin); i > first; --i) {
            if (env[i] >= level / 2) return i;
        }
    }
    return -1;
}
}  // namespace

class BandConditionsTest : public QObject {
    Q_OBJECT
private slots:
    void noiseHasTheSetSignalToNoiseRatio_data();
    void noiseHasTheSetSignalToNoiseRatio();
    void fadingReachesTheSetDepthWithoutClicks();
    void secondStationSitsAtItsOffsetInsideTheFilter();
    void filterEdgesLieHalfTheBandwidthFromTheTone_data();
    void filterEdgesLieHalfTheBandwidthFromTheTone();
    void wantedTimingIsUnchangedWithEverythingOn();
    void sameSeedSameSamplesAndSilenceWhenIdle();
    void switchedOffGivesTheSamplesOfBefore();
    void deviceTellsWhileTheBandFadesOut();
};

void BandConditionsTest::noiseHasTheSetSignalToNoiseRatio_data() {
    QTest::addColumn<int>("snrDb");
    QTest::addColumn<int>("filterHz");
    // A filter narrower than the measuring band passes less noise, a wider one a little less
    // at the band's edges: the ratio holds at every width.
    for (int filter : {250, 500, 2400}) {
        for (int snr : {20, 10, 0, -5}) QTest::addRow("%d dB, %d Hz", snr, filter) << snr << filter;
    }
}

void BandConditionsTest::noiseHasTheSetSignalToNoiseRatio() {
    QFETCH(int, snrDb);
    QFETCH(int, filterHz);
    BandSettings s = Only(true, false, false, false);
    s.snrDb = snrDb;
    s.filterHz = filterHz;
    // Tones of 4 s with 1.5 s of rest: the band holds through the rests, which carry noise only.
    std::vector<ToneSegment> tones;
    constexpr int kTones = 12;
    for (int i = 0; i < kTones; ++i) {
        tones.push_back({kPitchHz, 4000, 32000});
        tones.push_back({0, 1500, 0});
    }
    const Samples x = Render(&s, tones, 0);
    constexpr size_t kWindow = 8192;
    double on = 0, off = 0;
    for (int i = 0; i < kTones; ++i) {
        const int64_t start = static_cast<int64_t>(i * 5.5 * kRate);
        for (int w = 0; w < 3; ++w) {
            on += BandPower(x, start + kRate / 4 + w * kWindow, kWindow, kPitchHz, 250) / 3;
        }
        off += BandPower(x, start + static_cast<int64_t>(4.2 * kRate), kWindow, kPitchHz, 250);
    }
    const double measured = 10 * std::log10((on - off) / off);
    QVERIFY2(std::abs(measured - snrDb) <= 1.0, qPrintable(QString::number(measured)));
}

void BandConditionsTest::fadingReachesTheSetDepthWithoutClicks() {
    const std::vector<ToneSegment> tone{{kPitchHz, 40000, 32000}};
    BandSettings off = Only(false, false, false, false);
    const Samples steady = Render(&off, tone, 0);
    const int cleanStep = audio::MaxStep(steady, kRate, 39 * kRate);
    for (int depth : {6, 20, 30}) {
        BandSettings s = Only(false, true, false, false);
        s.qsbDepthDb = depth;
        s.qsbPeriodS = 4;
        const Samples x = Render(&s, tone, 0);
        double high = 0, low = 1e9;
        const int window = kRate / 50;
        for (int64_t at = kRate / 2; at + window < 39 * kRate; at += window) {
            double sum = 0;
            for (int i = 0; i < window; ++i) sum += double(x[at + i]) * x[at + i];
            const double rms = std::sqrt(sum / window);
            high = std::max(high, rms);
            low = std::min(low, rms);
        }
        const double measured = 20 * std::log10(high / low);
        QVERIFY2(std::abs(measured - depth) <= 1.0, qPrintable(QString::number(measured)));
        QVERIFY(audio::MaxStep(x, kRate, 39 * kRate) <= cleanStep + 2);
    }
}

void BandConditionsTest::secondStationSitsAtItsOffsetInsideTheFilter() {
    const std::vector<ToneSegment> tone{{kPitchHz, 33000, 32000}};
    constexpr size_t kWindow = 1 << 18;  // 32.8 s
    BandSettings s = Only(false, false, true, false);
    s.qrmOffsetHz = 300;
    s.qrmLevelDb = 0;
    const Samples wide = Render(&s, tone, 0);
    const double atOffset = BandPower(wide, 0, kWindow, kPitchHz + 300, 20);
    QVERIFY(atOffset > 100 * BandPower(wide, 0, kWindow, kPitchHz + 600, 20));
    QVERIFY(atOffset > 100 * BandPower(wide, 0, kWindow, kPitchHz - 300, 20));
    QVERIFY(atOffset > 0.05 * BandPower(wide, 0, kWindow, kPitchHz, 20));

    // A filter narrower than the offset is allowed and keeps the station out.
    s.qrmOffsetHz = 800;
    const Samples passed = Render(&s, tone, 0);
    s.filterHz = 250;
    const Samples filtered = Render(&s, tone, 0);
    const double before = BandPower(passed, 0, kWindow, kPitchHz + 800, 20);
    const double after = BandPower(filtered, 0, kWindow, kPitchHz + 800, 20);
    QVERIFY(before > 0.05 * BandPower(passed, 0, kWindow, kPitchHz, 20));
    QVERIFY2(after < before / 1000, qPrintable(QString::number(10 * std::log10(after / before))));
}

void BandConditionsTest::filterEdgesLieHalfTheBandwidthFromTheTone_data() {
    QTest::addColumn<int>("bandwidthHz");
    for (int hz : {250, 500, 1000, 2400}) QTest::addRow("%d Hz", hz) << hz;
}

void BandConditionsTest::filterEdgesLieHalfTheBandwidthFromTheTone() {
    QFETCH(int, bandwidthHz);
    // Level [dB] of a steady sine at `hz` after the filter, relative to its level before.
    const auto levelAt = [bandwidthHz](double hz) {
        ReceiverFilter filter(kRate);
        filter.tune(kPitchHz, bandwidthHz);
        std::vector<float> x(kRate);
        for (size_t i = 0; i < x.size(); ++i)
            x[i] = static_cast<float>(std::sin(2 * std::numbers::pi * hz * i / kRate));
        filter.process(x.data(), static_cast<int>(x.size()));
        double power = 0;
        for (size_t i = x.size() / 2; i < x.size(); ++i) power += double{x[i]} * x[i];
        return 10 * std::log10(power / (x.size() / 2) * 2);
    };
    const auto message = [](double hz, double db) {
        return QStringLiteral("%1 Hz: %2 dB").arg(hz).arg(db, 0, 'f', 1);
    };
    QVERIFY(std::abs(levelAt(kPitchHz)) < 0.1);
    // About 3 dB down at either edge, and well down half a bandwidth beyond it.
    for (double side : {-1.0, 1.0}) {
        const double edge = kPitchHz + side * bandwidthHz / 2;
        if (edge < 100) continue;  // the high-pass does not go that low
        const double atEdge = levelAt(edge);
        QVERIFY2(atEdge < -1.5 && atEdge > -4, qPrintable(message(edge, atEdge)));
        const double beyond = kPitchHz + side * bandwidthHz;
        if (beyond < 100) continue;
        const double outside = levelAt(beyond);
        QVERIFY2(outside < -6, qPrintable(message(beyond, outside)));
    }
}

void BandConditionsTest::wantedTimingIsUnchangedWithEverythingOn() {
    std::vector<ToneSegment> tones;
    for (int i = 0; i < 60; ++i) {
        tones.push_back({kPitchHz, i % 3 == 0 ? 180.0 : 60.0, 32000});
        tones.push_back({0, i % 5 == 0 ? 180.0 : 60.0, 0});
    }
    BandSettings s = Only(true, true, true, true);
    s.snrDb = 30;
    s.filterHz = 500;
    s.qsbDepthDb = 10;
    s.qsbPeriodS = 2;
    s.qrmOffsetHz = 800;
    s.qrmLevelDb = -20;
    s.qrnPerMinute = 20;
    s.qrnLevelDb = -20;
    const Samples clean = Render(nullptr, tones, 0);
    const Samples band = Render(&s, tones, 0);
    QCOMPARE(band.size(), clean.size());
    const auto marks = audio::FindMarks(clean, kRate / 100);
    QCOMPARE(marks.size(), size_t(60));
    const auto envClean = Envelope(clean);
    const auto envBand = Envelope(band);
    for (const auto& m : marks) {
        for (bool rising : {true, false}) {
            const int64_t a = HalfCrossing(envClean, m.first, m.last, rising);
            const int64_t b = HalfCrossing(envBand, m.first, m.last, rising);
            QVERIFY2(std::abs(a - b) <= kRate / 1000, qPrintable(QString("%1 %2").arg(a).arg(b)));
        }
    }
}

void BandConditionsTest::sameSeedSameSamplesAndSilenceWhenIdle() {
    std::vector<ToneSegment> tones{{0, 1000, 0}};
    for (int i = 0; i < 20; ++i) {
        tones.push_back({kPitchHz, 100, 32000});
        tones.push_back({0, 200, 0});
    }
    BandSettings s = Only(true, true, true, true);
    s.qrnPerMinute = 60;
    const double tail = BandMixer::TailSeconds() + 1.0;
    const Samples first = Render(&s, tones, tail);
    QCOMPARE(Render(&s, tones, tail), first);
    // Taken in pieces of odd sizes, as a device's buffers would take it.
    QCOMPARE(Render(&s, tones, tail, 0.0123), first);
    s.seed += 1;
    QVERIFY(Render(&s, tones, tail) != first);

    // Silent before the band fades in ahead of the first tone and after its tail.
    const int64_t lead = static_cast<int64_t>((1.0 - BandMixer::kFadeInS) * kRate) - 64;
    QVERIFY(std::all_of(first.begin(), first.begin() + lead, [](int16_t v) { return v == 0; }));
    QVERIFY(std::any_of(first.begin() + kRate / 2 + lead / 2, first.begin() + kRate,
                        [](int16_t v) { return v != 0; }));
    QVERIFY(std::all_of(first.end() - kRate / 2, first.end(), [](int16_t v) { return v == 0; }));
}

void BandConditionsTest::switchedOffGivesTheSamplesOfBefore() {
    std::vector<ToneSegment> tones;
    for (int i = 0; i < 30; ++i) {
        tones.push_back({600.0 + 10 * i, 50.0 + i, 32000});
        tones.push_back({0, 40, 0});
    }
    BandSettings s = Only(true, true, true, true);
    s.enabled = false;
    const Samples untouched = Render(nullptr, tones, 1.0);
    QCOMPARE(Render(&s, tones, 1.0), untouched);
    QCOMPARE(Render(&s, tones, 1.0, 0.0071), untouched);
}

void BandConditionsTest::deviceTellsWhileTheBandFadesOut() {
    VirtualClock clock;
    auto device = PortAudioOutput::Detached(clock, kRate, 1);
    device->setBandConditions(Only(true, false, false, false), Traffic());
    device->queueTones({{kPitchHz, 100, 32000}, {0, 100, 0}});
    std::vector<int16_t> buffer(256);
    const auto play = [&](double seconds) {
        for (int i = 0; i < seconds * kRate / 256; ++i) {
            device->renderDeviceBuffer(buffer.data(), 256, false);
            clock.advance(256.0 / kRate);
        }
    };
    play(0.5);
    QVERIFY(device->idle());
    QVERIFY(device->bandAudible());
    play(BandMixer::TailSeconds());
    QVERIFY(!device->bandAudible());
    QVERIFY(std::all_of(buffer.begin(), buffer.end(), [](int16_t v) { return v == 0; }));
}

REGISTER_TEST(BandConditionsTest);
#include "band_conditions_test.moc"
