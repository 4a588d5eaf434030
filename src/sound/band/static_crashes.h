#pragma once

#include "sound/band/band_random.h"

// Static crashes (QRN): bursts of noise at random moments (a Poisson process), each rising
// within a few milliseconds and dying away over tens to hundreds of milliseconds, of uneven
// strength around the set level.
class StaticCrashes {
public:
    StaticCrashes(int sampleRate, uint64_t seed);
    void reseed(uint64_t seed);
    // `sigma`: the noise's standard deviation at a typical crash's peak.
    void configure(double perMinute, double sigma);

    // Adds the crashes to `out`.
    void process(float* out, int count);

private:
    void scheduleNext();
    void startCrash();

    int rate_;
    BandRandom random_;
    double perMinute_ = 0;
    double sigma_ = 0;
    double untilNext_ = 0;  // frames
    double envelope_ = 0;
    double peak_ = 0;
    double rise_ = 0;   // envelope step per frame while rising, 0 when decaying
    double decay_ = 1;  // envelope factor per frame
};
