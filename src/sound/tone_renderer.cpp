#include "sound/tone_renderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// Nearest integer, halves away from zero; the values never leave the 16-bit range.
inline int16_t RoundSample(double v) {
    return static_cast<int16_t>(static_cast<int>(v + (v >= 0 ? 0.5 : -0.5)));
}
}  // namespace

// The running integral of a Blackman window. Its spectrum falls off far faster than a raised
// cosine's of the same length (key clicks more than 500 Hz from the tone stay below -70 dB up to
// 200 cpm), and it is point-symmetric about the middle, so half amplitude falls exactly where it
// did with the raised cosine: the elements keep their lengths.
double ToneRenderer::EdgeShape(double x) {
    constexpr double a0 = 0.42, a1 = 0.5, a2 = 0.08;
    constexpr double twoPi = 2 * std::numbers::pi;
    return (a0 * x - a1 * std::sin(twoPi * x) / twoPi +
            a2 * std::sin(2 * twoPi * x) / (2 * twoPi)) /
           a0;
}

ToneRenderer::ToneRenderer(int sampleRate)
    : rate_(sampleRate), fadeFrames_(StopFadeFrames(sampleRate)) {
    const auto edge = std::max<int64_t>(1, std::llround(kEdgeMs * rate_ / 1000.0));
    ramp_.resize(static_cast<size_t>(edge));
    for (int64_t i = 0; i < edge; ++i) {
        ramp_[i] = EdgeShape((i + 0.5) / edge);
    }
}

int64_t ToneRenderer::StopFadeFrames(int sampleRate) {
    return std::max<int64_t>(1, std::llround(kStopFadeMs * sampleRate / 1000.0));
}

double ToneRenderer::edgeGain(int64_t index, int64_t edgeFrames) const {
    if (edgeFrames == static_cast<int64_t>(ramp_.size())) return ramp_[index];
    // Tones shorter than two full edges get a proportionally shorter ramp of the same shape.
    return EdgeShape((index + 0.5) / edgeFrames);
}

double ToneRenderer::fadeGain(int64_t index) const {
    return edgeGain(fadeFrames_ - 1 - index, fadeFrames_);
}

void ToneRenderer::start(const SoundItem& item) {
    cur_ = Current{};
    cur_.item = item;
    cur_.endAt = item.frames;
    cur_.edgeFrames = std::min<int64_t>(static_cast<int64_t>(ramp_.size()), item.frames / 2);
    const double step = 2.0 * std::numbers::pi * item.frequencyHz / rate_;
    cur_.stepCos = std::cos(step);
    cur_.stepSin = std::sin(step);
    // Rounding errors slowly change the oscillator's radius; an element is far too short for
    // that to show, so pulling it back once per tone is enough.
    const double radius = std::hypot(cos_, sin_);
    cos_ /= radius;
    sin_ /= radius;
    active_ = true;
}

void ToneRenderer::render(int16_t* out, int64_t count, SoundItemSource& source) {
    while (count > 0) {
        if (!active_) {
            const SoundItem* next = source.peek();
            if (!next) {
                std::fill_n(out, count, int16_t{0});
                pos_ += count;
                return;
            }
            if (next->startFrame > pos_) {
                const int64_t n = std::min(count, next->startFrame - pos_);
                std::fill_n(out, n, int16_t{0});
                out += n;
                count -= n;
                pos_ += n;
                continue;
            }
            if (next->startFrame < pos_) {
                // Too late to start in time: start now, and let the timeline follow the item
                // so that what comes after it keeps its distance.
                ++late_;
                pos_ = next->startFrame;
            }
            const SoundItem item = *next;
            source.pop();
            if (item.frames <= 0) continue;
            start(item);
        }
        const int64_t n = std::min(count, cur_.endAt - cur_.done);
        renderCurrent(out, n);
        out += n;
        count -= n;
        pos_ += n;
        if (cur_.done >= cur_.endAt) active_ = false;
    }
}

void ToneRenderer::renderCurrent(int16_t* out, int64_t count) {
    const SoundItem& item = cur_.item;
    const int64_t first = cur_.done;
    const bool fading = cur_.fadeFrom >= 0;
    if (item.pcm) {
        for (int64_t i = 0; i < count; ++i) {
            const int64_t k = first + i;
            double v = item.pcm[k];
            if (fading && k >= cur_.fadeFrom) v *= fadeGain(k - cur_.fadeFrom);
            out[i] = RoundSample(v);
        }
    } else if (item.amplitude <= 0 || item.frequencyHz <= 0 || cur_.edgeFrames == 0) {
        // A tone too short to be shaped would only click.
        std::fill_n(out, count, int16_t{0});
    } else {
        const double amplitude = std::min(item.amplitude, 32767);
        const int64_t total = item.frames;
        const int64_t edge = cur_.edgeFrames;
        const double wc = cur_.stepCos;
        const double ws = cur_.stepSin;
        double c = cos_;
        double s = sin_;
        int64_t k = first;
        const int64_t stop = first + count;
        // Three stretches: the rise, the plateau (no gain to apply), the fall.
        while (k < stop) {
            const bool rising = k < edge;
            const bool falling = k >= total - edge;
            const int64_t until = rising    ? std::min(stop, edge)
                                  : falling ? stop
                                            : std::min(stop, total - edge);
            for (; k < until; ++k) {
                double gain = 1.0;
                if (rising) {
                    gain = edgeGain(k, edge);
                } else if (falling) {
                    gain = edgeGain(total - 1 - k, edge);
                }
                if (fading && k >= cur_.fadeFrom) gain *= fadeGain(k - cur_.fadeFrom);
                out[k - first] = RoundSample(amplitude * gain * s);
                const double nc = c * wc - s * ws;
                s = s * wc + c * ws;
                c = nc;
            }
        }
        cos_ = c;
        sin_ = s;
    }
    cur_.done += count;
}

void ToneRenderer::stopUpTo(uint64_t serial) {
    if (!active_ || cur_.item.serial > serial || cur_.fadeFrom >= 0) return;
    cur_.fadeFrom = cur_.done;
    cur_.endAt = std::min(cur_.endAt, cur_.done + fadeFrames_);
}
