#pragma once

#include "sound/band/band_random.h"

// White noise, the raw material of the band's hiss before the receiver filter shapes it.
class NoiseSource {
public:
    explicit NoiseSource(uint64_t seed) : random_(seed) {}
    void reseed(uint64_t seed) { random_ = BandRandom(seed); }

    // Adds noise with the standard deviation `sigma` to `out`.
    void process(float* out, int count, double sigma) {
        for (int i = 0; i < count; ++i) out[i] += static_cast<float>(sigma * random_.gaussian());
    }

private:
    BandRandom random_;
};
