#pragma once

#include "sound/band/band_random.h"

// Fading (QSB): a gain that sinks by up to the set depth and comes back, smooth and irregular.
// The level in decibels follows a sine whose speed wanders at random around one fade per
// period, so the deep fades come at uneven times, are short and sharp-bottomed as on the air,
// and every fade reaches the full depth. Gains change far too slowly to click.
class QsbFader {
public:
    QsbFader(int sampleRate, uint64_t seed);
    void reseed(uint64_t seed);
    void configure(double depthDb, double periodS);

    // Writes the gain of the next `count` samples.
    void process(float* gains, int count);

private:
    double knotValue();

    int rate_;
    BandRandom random_;
    double depthDb_ = 0;
    double periodS_ = 10;
    double phase_ = 0;                  // of the level's sine [rad]
    double knot_ = 0;                   // position between two random speed knots, 0..1
    double from_ = 0, to_ = 0;          // speed deviations at the knots
    static constexpr int kStride = 16;  // samples between two computed gains
    int strideLeft_ = 0;
    double gain_ = -1;  // -1: none yet
    double slope_ = 0;  // per sample
};
