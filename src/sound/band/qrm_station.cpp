#include "sound/band/qrm_station.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kEdgeMs = 5.0;
constexpr double kMinCpm = 70, kMaxCpm = 150;
constexpr double kSpeedSpread = 0.08;  // from message to message, the hand is not a machine
constexpr double kFirstCallMaxS = 4.0;
constexpr double kShortPauseS = 1.0, kMeanPauseS = 3.0;
constexpr double kLongPauseChance = 0.2, kLongPauseMinS = 8.0, kLongPauseMaxS = 20.0;
}  // namespace

QrmStation::QrmStation(int sampleRate, uint64_t seed) : rate_(sampleRate), random_(seed) {
    const int edge = std::max(1, static_cast<int>(std::lround(kEdgeMs * sampleRate / 1000.0)));
    ramp_.resize(static_cast<size_t>(edge) + 1);
    for (int i = 0; i <= edge; ++i) {
        ramp_[i] = static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * i / edge));
    }
    reseed(seed);
}

void QrmStation::reseed(uint64_t seed) {
    random_ = BandRandom(seed);
    cpm_ = random_.uniform(kMinCpm, kMaxCpm);
    message_ = nullptr;
    keyed_ = false;
    edge_ = 0;
    left_ = static_cast<int64_t>(random_.uniform(0.3, kFirstCallMaxS) * rate_);
}

void QrmStation::setTraffic(const QrmTraffic* traffic) {
    if (traffic == traffic_) return;
    traffic_ = traffic;
    message_ = nullptr;  // it belonged to the old traffic
    keyed_ = false;
}

void QrmStation::tune(double hz) {
    const double step = 2 * std::numbers::pi * hz / rate_;
    wc_ = std::cos(step);
    ws_ = std::sin(step);
}

void QrmStation::pause() {
    message_ = nullptr;
    keyed_ = false;
    const double seconds = random_.uniform() < kLongPauseChance
                               ? random_.uniform(kLongPauseMinS, kLongPauseMaxS)
                               : kShortPauseS + random_.exponential(kMeanPauseS);
    left_ = std::max<int64_t>(1, static_cast<int64_t>(seconds * rate_));
}

void QrmStation::startMessage() {
    const auto& messages = traffic_->messages;
    message_ = &messages[static_cast<size_t>(random_.uniform() * messages.size())];
    next_ = 0;
    const double cpm = cpm_ * random_.uniform(1 - kSpeedSpread, 1 + kSpeedSpread);
    dotFrames_ = 6.0 / cpm * rate_;  // a dot is 1/50 of a word of five characters
}

void QrmStation::nextSegment() {
    const auto dots = [this](double n) {
        return std::max<int64_t>(1, std::llround(n * dotFrames_));
    };
    if (!traffic_ || traffic_->messages.empty()) {
        keyed_ = false;
        left_ = rate_;
        return;
    }
    if (!message_) startMessage();
    if (next_ >= message_->size()) {
        pause();
        return;
    }
    const char symbol = (*message_)[next_];
    if (keyed_) {
        // Every element ends with a gap of one dot.
        keyed_ = false;
        ++next_;
        left_ = dots(1);
    } else if (symbol == '.' || symbol == '-') {
        keyed_ = true;
        left_ = dots(symbol == '-' ? 3 : 1);
    } else {
        // Added to the element's own gap: three dots between characters, seven between words.
        ++next_;
        left_ = dots(symbol == '/' ? 6 : 2);
    }
}

void QrmStation::process(float* out, int count, double amplitude) {
    const int top = static_cast<int>(ramp_.size()) - 1;
    double c = c_, s = s_;
    for (int i = 0; i < count; ++i) {
        if (left_ <= 0) nextSegment();
        --left_;
        edge_ = keyed_ ? std::min(top, edge_ + 1) : std::max(0, edge_ - 1);
        if (edge_ > 0) out[i] += static_cast<float>(amplitude * ramp_[edge_] * s);
        const double nc = c * wc_ - s * ws_;
        s = s * wc_ + c * ws_;
        c = nc;
    }
    // Rounding slowly changes the oscillator's radius; pull it back once per block.
    const double radius = std::hypot(c, s);
    c_ = c / radius;
    s_ = s / radius;
}
