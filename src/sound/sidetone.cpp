#include "sound/sidetone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sound/tone_renderer.h"

Sidetone::Sidetone(int sampleRate) : rate_(sampleRate) {
    const auto edge = std::max<int64_t>(1, std::llround(ToneRenderer::kEdgeMs * rate_ / 1000.0));
    ramp_.resize(static_cast<size_t>(edge));
    for (int64_t i = 0; i < edge; ++i) ramp_[i] = ToneRenderer::EdgeShape((i + 0.5) / edge);
}

uint64_t Sidetone::Pack(bool down, int64_t atUs) {
    return (static_cast<uint64_t>(atUs) << 1) | (down ? 1u : 0u);
}

void Sidetone::setKey(bool down, int64_t atUs) {
    key_.store(Pack(down, atUs), std::memory_order_release);
}

bool Sidetone::keyDown() const { return key_.load(std::memory_order_acquire) & 1u; }

int64_t Sidetone::keyChangedUs() const {
    return static_cast<int64_t>(key_.load(std::memory_order_acquire) >> 1);
}

void Sidetone::setPitch(double hz) { pitchHz_.store(hz, std::memory_order_relaxed); }

void Sidetone::setAmplitude(int peak) {
    amplitude_.store(std::clamp(peak, 0, 32767), std::memory_order_relaxed);
}

void Sidetone::mixInto(int16_t* out, unsigned long frames, int channels) {
    const bool down = key_.load(std::memory_order_acquire) & 1u;
    if (down != target_) {
        target_ = down;
        // Turn the edge where the gain stands, so that a short tap neither jumps nor clicks.
        const auto below = std::lower_bound(ramp_.begin(), ramp_.end(), gain_) - ramp_.begin();
        edgeIndex_ = target_ ? below : static_cast<int64_t>(ramp_.size()) - below;
    }
    if (!target_ && gain_ <= 0) return;

    const double hz = pitchHz_.load(std::memory_order_relaxed);
    if (hz != stepHz_) {
        stepHz_ = hz;
        const double step = 2.0 * std::numbers::pi * hz / rate_;
        stepCos_ = std::cos(step);
        stepSin_ = std::sin(step);
    }
    const double peak = amplitude_.load(std::memory_order_relaxed);
    const auto edge = static_cast<int64_t>(ramp_.size());
    for (unsigned long i = 0; i < frames; ++i) {
        if (edgeIndex_ < edge) {
            gain_ = target_ ? ramp_[edgeIndex_] : ramp_[edge - 1 - edgeIndex_];
            ++edgeIndex_;
        } else {
            gain_ = target_ ? 1.0 : 0.0;
        }
        const double value = peak * gain_ * sin_;
        const double c = cos_ * stepCos_ - sin_ * stepSin_;
        sin_ = sin_ * stepCos_ + cos_ * stepSin_;
        cos_ = c;
        const auto add = static_cast<int>(std::lround(value));
        for (int ch = 0; ch < channels; ++ch) {
            int16_t& sample = out[i * channels + ch];
            sample = static_cast<int16_t>(std::clamp(sample + add, -32768, 32767));
        }
        if (!target_ && gain_ <= 0) break;
    }
    // Keep the oscillator on its circle over long keyed stretches.
    const double radius = std::hypot(cos_, sin_);
    cos_ /= radius;
    sin_ /= radius;
}
