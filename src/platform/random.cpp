#include "platform/random.h"

#include <QRandomGenerator>
#include <cstring>

float Random::Rnd() {
    // 24 random bits give every float in [0, 1) on a grid of 2^-24, never 1.0.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
}

void Random::Randomize(double clockSeconds) {
    if (fixed_) return;
    uint64_t bits = 0;
    std::memcpy(&bits, &clockSeconds, sizeof bits);
    engine_.seed(static_cast<uint32_t>(bits ^ (bits >> 32)));
}

void Random::fixSeed(uint32_t seed) {
    engine_.seed(seed);
    fixed_ = true;
}

uint32_t FreshSeed() { return QRandomGenerator::system()->generate(); }
