// The export path (virtual clock, offline output, the trainer's tone control): how many times
// faster than real time it renders, how exactly the elements in the result match the timing
// formulas, and how far the keying sidebands 300-500 Hz from the tone lie below the tone.
//   bench_sound_export [WAV]   also writes the rendered text to WAV for outside instruments

#include <sndfile.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <vector>

#include "engine/morse_table.h"
#include "engine/timing.h"
#include "engine/tone_control.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/virtual_clock.h"
#include "sound/offline_output.h"
#include "sound/tone_renderer.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"
#include "support/audio_analysis.h"

namespace {
constexpr int kRate = 48000;
const char* const kText = "CQ CQ DE DL1ABC DL1ABC PSE K = UR RST 599 5NN QTH BERLIN NAME OTTO ? ";

struct Rendered {
    std::vector<int16_t> samples;
    double wallSeconds = 0;
};

Rendered Render(float cpm, int repeats) {
    VirtualClock clock;
    OfflineOutput output(clock, kRate);
    Tonwerk tonwerk(output, clock);
    Platform().clock = &clock;
    Platform().tonwerk = &tonwerk;
    SharedState& s = S();
    s.Speed = cpm;
    s.TonePitch = 800;
    s.CharSpacing = 1;
    s.WordSpacing = 1;
    form1().LT.setValue(30);
    ComputeTiming();
    QElapsedTimer timer;
    timer.start();
    for (int r = 0; r < repeats; ++r) {
        for (const char* c = kText; *c; ++c) {
            if (*c == ' ') {
                WaitSeconds(s.WordGap);
            } else {
                PlayCharacter(QString(QChar(*c)));
            }
        }
    }
    Rendered result;
    result.samples = output.samples();
    result.wallSeconds = timer.nsecsElapsed() / 1e9;
    Platform().clock = nullptr;
    Platform().tonwerk = nullptr;
    return result;
}

// Averaged power spectrum (Blackman-Harris window, half overlap): sidelobes near -92 dB, so
// the tone itself does not leak into the sidebands being measured.
std::vector<double> PowerSpectrum(const std::vector<int16_t>& x, size_t n) {
    std::vector<double> window(n), power(n / 2 + 1, 0.0);
    for (size_t i = 0; i < n; ++i) {
        const double t = 2 * std::numbers::pi * i / (n - 1);
        window[i] =
            0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
    }
    std::vector<std::complex<double>> buffer(n);
    for (size_t start = 0; start + n <= x.size(); start += n / 2) {
        for (size_t i = 0; i < n; ++i) buffer[i] = x[start + i] * window[i];
        audio::Fft(buffer);
        for (size_t k = 0; k <= n / 2; ++k) power[k] += std::norm(buffer[k]);
    }
    return power;
}

void Sidebands(const std::vector<int16_t>& samples) {
    constexpr size_t kN = 16384;
    const auto power = PowerSpectrum(samples, kN);
    const double binHz = static_cast<double>(kRate) / kN;
    double tone = 0, side = 0, tonePeak = 0, sidePeak = 0;
    int sideBins = 0;
    for (size_t k = 0; k < power.size(); ++k) {
        const double offset = std::abs(k * binHz - 800.0);
        if (offset <= 50) {
            tone += power[k];
            tonePeak = std::max(tonePeak, power[k]);
        } else if (offset >= 300 && offset <= 500) {
            side += power[k];
            sidePeak = std::max(sidePeak, power[k]);
            ++sideBins;
        }
    }
    std::printf("keying sidebands 300-500 Hz from the tone (both sides, %d bins of %.2f Hz):\n",
                sideBins, binHz);
    std::printf("  band energy        %6.1f dB below the tone's energy (within 50 Hz)\n",
                10 * std::log10(tone / side));
    std::printf("  strongest bin      %6.1f dB below the tone's strongest bin\n",
                10 * std::log10(tonePeak / sidePeak));
}

// Frames of each element as the formulas give them at 60 cpm, compared with what the file
// holds: tone length from the energy of the mark (corrected by the known energy of its two
// edges), tone start from its energy centre.
void ElementLengths(const std::vector<int16_t>& samples, float cpm) {
    const double dotFrames = 77.0 / cpm * 60 * kRate / 1000;
    const auto edge = std::llround(ToneRenderer::kEdgeMs * kRate / 1000);
    double edgeDeficit = 0;
    for (int64_t i = 0; i < edge; ++i) {
        const double g = ToneRenderer::EdgeShape((i + 0.5) / edge);
        edgeDeficit += 2 * (1 - g * g);
    }
    struct Mark {
        int64_t first, last;
        double energy = 0, weighted = 0;
    };
    std::vector<Mark> marks;
    for (int64_t i = 0, zeros = 1 << 20; i < static_cast<int64_t>(samples.size()); ++i) {
        if (samples[i] == 0) {
            ++zeros;
            continue;
        }
        if (zeros > 48) marks.push_back({i, i});
        zeros = 0;
        Mark& m = marks.back();
        m.last = i;
        const double e = double(samples[i]) * samples[i];
        m.energy += e;
        m.weighted += e * i;
    }
    double worstLength = 0, worstGap = 0;
    int dots = 0, dashes = 0;
    for (size_t k = 0; k < marks.size(); ++k) {
        const double length = marks[k].energy / (32000.0 * 32000.0 / 2) + edgeDeficit;
        const bool dash = length > 2 * dotFrames;
        const double expected = dash ? 3 * dotFrames : dotFrames;
        (dash ? dashes : dots)++;
        worstLength = std::max(worstLength, std::abs(length - expected));
        if (k + 1 < marks.size()) {
            // Gap between the ends of two tones from their centres and lengths.
            const double end = marks[k].weighted / marks[k].energy + length / 2;
            const double nextLength = marks[k + 1].energy / (32000.0 * 32000.0 / 2) + edgeDeficit;
            const double nextStart = marks[k + 1].weighted / marks[k + 1].energy - nextLength / 2;
            const double gap = (nextStart - end) / dotFrames;
            // Element gap 1 dot, character gap 5, word gap 8 at these settings.
            const double nearest = gap < 3 ? 1 : gap < 6.5 ? 5 : 8;
            worstGap = std::max(worstGap, std::abs(gap - nearest) * dotFrames);
        }
    }
    std::printf(
        "element lengths at %.0f cpm (%d dots, %d dashes): tones within %.3f samples "
        "of the formulas, gaps within %.3f samples (one sample = %.4f ms)\n",
        cpm, dots, dashes, worstLength, worstGap, 1000.0 / kRate);
}
}  // namespace

int main(int argc, char** argv) {
    BuildMorseTable();
    const Rendered warm = Render(60, 1);
    const Rendered fast = Render(60, 40);
    const double audioSeconds = fast.samples.size() / static_cast<double>(kRate);
    std::printf("export speed: %.1f s of Morse at 60 cpm rendered in %.3f s = %.0fx real time\n",
                audioSeconds, fast.wallSeconds, audioSeconds / fast.wallSeconds);
    const Rendered quick = Render(200, 40);
    const double quickSeconds = quick.samples.size() / static_cast<double>(kRate);
    std::printf("export speed: %.1f s of Morse at 200 cpm rendered in %.3f s = %.0fx real time\n",
                quickSeconds, quick.wallSeconds, quickSeconds / quick.wallSeconds);
    ElementLengths(warm.samples, 60);
    ElementLengths(quick.samples, 200);
    Sidebands(fast.samples);
    if (argc > 1) {
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        if (SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info)) {
            sf_writef_short(file, warm.samples.data(),
                            static_cast<sf_count_t>(warm.samples.size()));
            sf_close(file);
        }
    }
    return 0;
}
