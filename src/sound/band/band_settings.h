#pragma once

#include <QString>
#include <cstdint>

// The conditions of the band the learner listens on: what a receiver adds to the wanted
// signal. Every level is relative to the wanted signal before fading.
struct BandSettings {
    bool enabled = false;  // the master switch; off leaves the sound exactly as without it

    bool noiseOn = true;
    int snrDb = 10;      // signal to noise in a 500 Hz band around the tone [dB]
    int filterHz = 500;  // receiver filter bandwidth, centred on the tone [Hz]

    bool qsbOn = false;
    int qsbDepthDb = 10;  // deepest fade [dB]
    int qsbPeriodS = 10;  // typical time from one fade to the next [s]

    bool qrmOn = false;
    int qrmOffsetHz = 300;  // the second station's pitch above the tone [Hz]
    int qrmLevelDb = -6;    // its level [dB]

    bool qrnOn = false;
    int qrnPerMinute = 6;  // static crashes [1/min]
    int qrnLevelDb = -6;   // their typical level [dB]

    uint32_t seed = 1;  // the same seed gives the same noise, fading, traffic and crashes

    bool operator==(const BandSettings&) const = default;
};

// Limits of the values, the same for the dialog, the stored settings and morse2wav.
namespace band_limits {
constexpr int kSnrMinDb = -10, kSnrMaxDb = 30;
constexpr int kFiltersHz[] = {250, 500, 1000, 2400};
constexpr int kQsbDepthMaxDb = 30;
constexpr int kQsbPeriodMinS = 2, kQsbPeriodMaxS = 30;
constexpr int kQrmOffsetMinHz = 50, kQrmOffsetMaxHz = 800;
constexpr int kQrmLevelMinDb = -20, kQrmLevelMaxDb = 6;
constexpr int kQrnMaxPerMinute = 60;
constexpr int kQrnLevelMinDb = -20, kQrnLevelMaxDb = 10;
}  // namespace band_limits

// The same settings with every value brought into its range; a filter width that is none of
// the four becomes the nearest one.
BandSettings Bounded(BandSettings settings);

enum class BandPreset { Quiet, Normal, Contest, Off };
// "ruhiges Band", "normaler Betrieb", "Contest", "aus". The seed is kept.
BandSettings ApplyPreset(BandPreset preset, const BandSettings& current);

// The highest frequency the receiver filter may reach, as a share of the sample rate: above
// it the filter's corners come too close to the Nyquist limit to keep their shape.
constexpr double kHighestFilterShare = 0.45;

// Empty when the receiver filter of `filterHz` centred on `pitchHz` fits below
// kHighestFilterShare × `sampleRate`; otherwise a German message that says why and what helps.
QString FilterFitProblem(double pitchHz, int filterHz, int sampleRate);
