#include "sound/band/static_crashes.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kRiseMinS = 0.001, kRiseMaxS = 0.004;
constexpr double kDecayMinS = 0.02, kDecayMaxS = 0.15;  // time constant
constexpr double kStrengthSpread = 0.6;                 // of the log amplitude
constexpr double kEndFraction = 1e-3;                   // of the peak, where a crash is over
}  // namespace

StaticCrashes::StaticCrashes(int sampleRate, uint64_t seed) : rate_(sampleRate), random_(seed) {
    reseed(seed);
}

void StaticCrashes::reseed(uint64_t seed) {
    random_ = BandRandom(seed);
    envelope_ = 0;
    rise_ = 0;
    scheduleNext();
}

void StaticCrashes::configure(double perMinute, double sigma) {
    const bool rateChanged = perMinute != perMinute_;
    perMinute_ = perMinute;
    sigma_ = sigma;
    if (rateChanged) scheduleNext();
}

void StaticCrashes::scheduleNext() {
    untilNext_ = perMinute_ > 0 ? random_.exponential(60.0 / perMinute_) * rate_ : 0;
}

void StaticCrashes::startCrash() {
    peak_ = sigma_ * std::min(4.0, std::exp(kStrengthSpread * random_.gaussian()));
    rise_ = peak_ / std::max(1.0, random_.uniform(kRiseMinS, kRiseMaxS) * rate_);
    decay_ = std::exp(-1.0 / (random_.uniform(kDecayMinS, kDecayMaxS) * rate_));
}

void StaticCrashes::process(float* out, int count) {
    if (perMinute_ <= 0) return;
    for (int i = 0; i < count; ++i) {
        if (--untilNext_ <= 0) {
            startCrash();
            scheduleNext();
        }
        if (rise_ > 0) {
            envelope_ += rise_;
            if (envelope_ >= peak_) {
                envelope_ = peak_;
                rise_ = 0;
            }
        } else if (envelope_ > 0) {
            envelope_ *= decay_;
            if (envelope_ < kEndFraction * peak_) envelope_ = 0;
        }
        if (envelope_ > 0) out[i] += static_cast<float>(envelope_ * random_.gaussian());
    }
}
