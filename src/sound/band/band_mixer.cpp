#include "sound/band/band_mixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kFullScale = 32767;
// The whole mix is levelled like a receiver's AGC would: about this RMS, with the wanted
// signal never above its ceiling, so that even at -10 dB SNR the noise rarely reaches the
// soft limiter [sample value].
constexpr double kTargetRms = 0.3 * kFullScale;
constexpr double kMaxWantedPeak = 0.6 * kFullScale;
constexpr double kSoftKnee = 0.75 * kFullScale;
constexpr double kGainGlideS = 0.01;  // time constant of a change of the wanted signal's gain

// The band the signal-to-noise ratio is measured in, centred on the tone [Hz].
constexpr double kMeasuringBandHz = 500;

// White noise of unit variance carries this share of its power in a 500 Hz band.
double ShareIn500Hz(int rate) { return 2 * kMeasuringBandHz / rate; }

// The share of white noise of unit variance that `filter` lets through within the measuring
// band around `centreHz`: a filter narrower than the band passes less of it, and even a wider
// one has dropped a little at its edges.
double ShareThrough(const ReceiverFilter& filter, double centreHz, int rate) {
    constexpr int kSteps = 250;
    constexpr double kStepHz = kMeasuringBandHz / kSteps;
    double sum = 0;
    for (int i = 0; i < kSteps; ++i) {
        const double g = filter.gainAt(centreHz - kMeasuringBandHz / 2 + (i + 0.5) * kStepHz);
        sum += g * g;
    }
    return 2 * sum * kStepHz / rate;
}

double FromDb(double db) { return std::pow(10.0, db / 20.0); }

int16_t Limit(double v) {
    const double a = std::abs(v);
    if (a > kSoftKnee) {
        const double room = kFullScale - kSoftKnee;
        const double limited = kSoftKnee + room * std::tanh((a - kSoftKnee) / room);
        v = v < 0 ? -limited : limited;
    }
    return static_cast<int16_t>(static_cast<int>(v + (v >= 0 ? 0.5 : -0.5)));
}
}  // namespace

BandMixer::BandMixer(int sampleRate)
    : rate_(sampleRate),
      noise_(SourceSeed(1, 1)),
      qsb_(sampleRate, SourceSeed(1, 2)),
      qrm_(sampleRate, SourceSeed(1, 3)),
      qrn_(sampleRate, SourceSeed(1, 4)),
      filter_(sampleRate) {
    retune();
}

void BandMixer::set(const BandSettings& settings, std::shared_ptr<const QrmTraffic> traffic) {
    exchange_.publish(std::make_shared<const Snapshot>(Snapshot{settings, std::move(traffic)}));
}

void BandMixer::refresh() {
    if (const Snapshot* snapshot = exchange_.take()) adopt(*snapshot);
}

void BandMixer::adopt(const Snapshot& snapshot) {
    const BandSettings s = Bounded(snapshot.settings);
    if (!seeded_ || s.seed != settings_.seed) {
        noise_.reseed(SourceSeed(s.seed, 1));
        qsb_.reseed(SourceSeed(s.seed, 2));
        qrm_.reseed(SourceSeed(s.seed, 3));
        qrn_.reseed(SourceSeed(s.seed, 4));
        seeded_ = true;
    }
    settings_ = s;

    // The noise power after the filter, relative to the wanted signal's: all of it lies in the
    // measuring band when the filter is narrower.
    const double noiseShare = s.noiseOn ? std::pow(10.0, -s.snrDb / 10.0) *
                                              std::max<double>(s.filterHz, kMeasuringBandHz) /
                                              kMeasuringBandHz
                                        : 0;
    const double qrmShare = s.qrmOn ? 0.5 * std::pow(10.0, s.qrmLevelDb / 10.0) : 0;
    const double peak = std::min(
        kMaxWantedPeak, std::sqrt(2.0) * kTargetRms / std::sqrt(1.0 + noiseShare + qrmShare));
    wantedGain_ = peak / kReferencePeak;
    const double power = peak * peak / 2;  // of the unfaded wanted tone
    const double share = ShareIn500Hz(rate_);
    noisePower_ = s.noiseOn ? power * std::pow(10.0, -s.snrDb / 10.0) : 0;
    qrmPeak_ = s.qrmOn ? peak * FromDb(s.qrmLevelDb) : 0;
    qsb_.configure(s.qsbOn ? s.qsbDepthDb : 0, s.qsbPeriodS);
    qrn_.configure(s.qrnOn ? s.qrnPerMinute : 0,
                   std::sqrt(power * std::pow(10.0, s.qrnLevelDb / 10.0) / share));
    qrm_.setTraffic(snapshot.traffic.get());
    retune();
}

void BandMixer::retune() {
    filter_.tune(centreHz_, settings_.filterHz);
    const double share = ShareThrough(filter_, centreHz_, rate_);
    noiseSigma_ = noisePower_ > 0 && share > 0 ? std::sqrt(noisePower_ / share) : 0;
    qrm_.tune(centreHz_ + settings_.qrmOffsetHz);
}

void BandMixer::tuneTo(double toneHz) {
    if (std::abs(toneHz - centreHz_) <= 0.5) return;
    centreHz_ = toneHz;
    retune();
}

void BandMixer::beginBlock(bool sending, bool sounding) {
    const bool on = settings_.enabled;
    if (on && sending) hold_ = static_cast<int64_t>(kHoldS * rate_);
    open_ = on && hold_ > 0;
    hold_ = std::max<int64_t>(0, hold_ - kBlockFrames);
    // In a silence of the wanted signal its gain may jump without a click.
    if (!sounding) gain_ = on ? wantedGain_ : 1.0;
}

void BandMixer::process(int16_t* io, int count) {
    const double target = settings_.enabled ? wantedGain_ : 1.0;
    const double glide = 1.0 - std::exp(-1.0 / (kGainGlideS * rate_));
    const auto glideGain = [&] {
        gain_ += (target - gain_) * glide;
        if (std::abs(target - gain_) < 1e-5) gain_ = target;
    };

    if (!open_ && gate_ == 0) {
        // The band is silent; only the wanted signal's gain may still be on its way.
        if (gain_ == 1.0 && target == 1.0) return;
        for (int i = 0; i < count; ++i) {
            glideGain();
            io[i] = Limit(io[i] * gain_);
        }
        return;
    }

    std::fill_n(bus_.data(), count, 0.0f);
    if (noiseSigma_ > 0) noise_.process(bus_.data(), count, noiseSigma_);
    if (qrmPeak_ > 0) qrm_.process(bus_.data(), count, qrmPeak_);
    qrn_.process(bus_.data(), count);
    filter_.process(bus_.data(), count);
    qsb_.process(fading_.data(), count);

    const double rise = 1.0 / (kFadeInS * rate_);
    const double fall = 1.0 / (kFadeOutS * rate_);
    for (int i = 0; i < count; ++i) {
        gate_ = open_ ? std::min(1.0, gate_ + rise) : std::max(0.0, gate_ - fall);
        const double shape = gate_ >= 1.0 ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * gate_);
        glideGain();
        io[i] = Limit(io[i] * gain_ * fading_[i] + bus_[i] * shape);
    }
}
