#include "sound/band/receiver_filter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {
// The lowest corner of the high-pass: below it a receiver passes nothing anyway [Hz].
constexpr double kLowestCornerHz = 60;
}  // namespace

void ReceiverFilter::tune(double centreHz, double bandwidthHz) {
    const double low = std::max(kLowestCornerHz, centreHz - bandwidthHz / 2);
    const double high = std::min(0.45 * rate_, centreHz + bandwidthHz / 2);
    for (int k = 0; k < kSections; ++k) {
        // Butterworth pole pairs of an 8th-order filter.
        const double q = 1.0 / (2.0 * std::sin((2 * k + 1) * std::numbers::pi / (4.0 * kSections)));
        for (int side = 0; side < 2; ++side) {
            const bool highPass = side == 0;
            const double w0 = 2 * std::numbers::pi * (highPass ? low : high) / rate_;
            const double alpha = std::sin(w0) / (2 * q);
            const double c = std::cos(w0);
            const double a0 = 1 + alpha;
            Biquad& b = stages_[side * kSections + k];
            if (highPass) {
                b.b0 = (1 + c) / 2 / a0;
                b.b1 = -(1 + c) / a0;
            } else {
                b.b0 = (1 - c) / 2 / a0;
                b.b1 = (1 - c) / a0;
            }
            b.b2 = b.b0;
            b.a1 = -2 * c / a0;
            b.a2 = (1 - alpha) / a0;
        }
    }
    scale_ = 1.0;
    scale_ = 1.0 / gainAt(centreHz);
}

double ReceiverFilter::gainAt(double hz) const {
    const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * hz / rate_);
    const std::complex<double> z2 = z1 * z1;
    std::complex<double> h = scale_;
    for (const Biquad& b : stages_)
        h *= (b.b0 + b.b1 * z1 + b.b2 * z2) / (1.0 + b.a1 * z1 + b.a2 * z2);
    return std::abs(h);
}

void ReceiverFilter::process(float* samples, int count) {
    for (int i = 0; i < count; ++i) {
        // A tiny alternating offset keeps the states away from denormal numbers in silence.
        double x = samples[i] * scale_ + ((i & 1) ? 1e-20 : -1e-20);
        for (Biquad& b : stages_) {
            // Transposed direct form II.
            const double y = b.b0 * x + b.z1;
            b.z1 = b.b1 * x - b.a1 * y + b.z2;
            b.z2 = b.b2 * x - b.a2 * y;
            x = y;
        }
        samples[i] = static_cast<float>(x);
    }
}
