#pragma once

#include <cmath>
#include <cstdint>

// A small, fast random generator (SplitMix64) for the band's signal sources: each source owns
// one, so that a seed fixes every sample and no source's draws shift another's.
class BandRandom {
public:
    explicit BandRandom(uint64_t seed) : state_(seed) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    // Near-Gaussian with unit variance: the sum of four uniforms, which is all that noise
    // needs once a filter has smoothed it, at a fraction of the cost of the exact shape.
    double gaussian() {
        return (uniform() + uniform() + uniform() + uniform() - 2.0) * 1.7320508075688772;
    }
    // Waiting time of a Poisson process with the given mean.
    double exponential(double mean) { return -mean * std::log(1.0 - uniform()); }

private:
    uint64_t state_;
};

// Seeds of the separate sources, derived from the one seed of the settings.
inline uint64_t SourceSeed(uint32_t seed, uint64_t source) {
    return (static_cast<uint64_t>(seed) << 8) ^ (source * 0xD1B54A32D192ED03ull);
}
