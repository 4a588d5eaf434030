#pragma once

#include <cstdint>
#include <random>

// The uniform random numbers of the exercises. Seeded from the clock at start-up and at run
// starts; a test fixes the seed so that its draws repeat.
class Random {
public:
    // A number in [0, 1), single precision like the rest of the arithmetic.
    float Rnd();
    // Seeds from the given clock reading, unless a fixed seed was set.
    void Randomize(double clockSeconds);
    // Seeds once with `seed` and makes later Randomize calls keep the sequence going.
    void fixSeed(uint32_t seed);

private:
    std::mt19937 engine_{12345u};
    bool fixed_ = false;
};

// A seed from the system's entropy, different on every call: for draws that must not repeat,
// whatever the clock says.
uint32_t FreshSeed();
