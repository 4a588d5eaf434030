#pragma once

#include <array>
#include <cstdint>

// The receiver's audio filter: an 8th-order Butterworth high-pass and low-pass pair whose
// passband is centred on the tone, scaled to unit gain at the centre. Everything the band adds
// (noise, the second station, static) goes through it; the wanted signal does not, so that its
// edges keep their shape and time.
class ReceiverFilter {
public:
    explicit ReceiverFilter(int sampleRate) : rate_(sampleRate) {}

    // Centres the passband of `bandwidthHz` on `centreHz`; keeps the filter's state, so that
    // retuning by a few hertz is inaudible.
    void tune(double centreHz, double bandwidthHz);
    void process(float* samples, int count);
    // Gain at `hz` (1 at the centre).
    double gainAt(double hz) const;

private:
    struct Biquad {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double z1 = 0, z2 = 0;
    };
    static constexpr int kSections = 4;  // per side: 8th order

    int rate_;
    std::array<Biquad, 2 * kSections> stages_{};
    double scale_ = 1;
};
