#include "sound/band/qsb_fader.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double kSpeedSpread = 0.5;  // the speed wanders within ±50 % of one fade per period
}  // namespace

QsbFader::QsbFader(int sampleRate, uint64_t seed) : rate_(sampleRate), random_(seed) {
    reseed(seed);
}

double QsbFader::knotValue() { return random_.uniform(-kSpeedSpread, kSpeedSpread); }

void QsbFader::reseed(uint64_t seed) {
    random_ = BandRandom(seed);
    phase_ = random_.uniform(0, 2 * std::numbers::pi);
    knot_ = 0;
    gain_ = -1;
    strideLeft_ = 0;
    from_ = knotValue();
    to_ = knotValue();
}

void QsbFader::configure(double depthDb, double periodS) {
    depthDb_ = depthDb;
    periodS_ = periodS;
}

void QsbFader::process(float* gains, int count) {
    if (depthDb_ <= 0) {
        for (int i = 0; i < count; ++i) gains[i] = 1.0f;
        return;
    }
    const double knotStep = kStride / (periodS_ * rate_);
    const double baseStep = kStride * 2 * std::numbers::pi / (periodS_ * rate_);
    const double dbToLn = std::numbers::ln10 / 20.0;
    for (int i = 0; i < count; ++i) {
        if (strideLeft_ == 0) {
            // A new gain every few samples, and straight lines between: the level moves far
            // too slowly for the difference to be heard, and it saves most of the work.
            // Cosine interpolation between the knots keeps the speed, and so the level, smooth.
            const double mix = 0.5 - 0.5 * std::cos(std::numbers::pi * knot_);
            const double speed = 1.0 + from_ + (to_ - from_) * mix;
            phase_ += baseStep * speed;
            if (phase_ > 2 * std::numbers::pi) phase_ -= 2 * std::numbers::pi;
            knot_ += knotStep;
            if (knot_ >= 1.0) {
                knot_ -= 1.0;
                from_ = to_;
                to_ = knotValue();
            }
            const double levelDb = -depthDb_ * 0.5 * (1.0 - std::sin(phase_));
            const double next = std::exp(levelDb * dbToLn);
            if (gain_ < 0) gain_ = next;
            slope_ = (next - gain_) / kStride;
            strideLeft_ = kStride;
        }
        gain_ += slope_;
        --strideLeft_;
        gains[i] = static_cast<float>(gain_);
    }
}
