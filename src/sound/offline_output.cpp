#include "sound/offline_output.h"

#include "sound/band/band_render.h"

OfflineOutput::OfflineOutput(Clock& clock, int sampleRate)
    : ClockedOutput(clock, sampleRate), renderer_(sampleRate), band_(sampleRate) {}

void OfflineOutput::setBandConditions(const BandSettings& settings,
                                      std::shared_ptr<const QrmTraffic> traffic) {
    bandOn_ = settings.enabled;
    band_.set(settings, std::move(traffic));
}

const SoundItem* OfflineOutput::Queue::peek() {
    return items_.empty() ? nullptr : &items_.front().first;
}

void OfflineOutput::Queue::pop() {
    playing_ = std::move(items_.front().second);
    items_.pop_front();
}

void OfflineOutput::Queue::push(const SoundItem& item, PcmBuffer pcm) {
    items_.emplace_back(item, std::move(pcm));
}

void OfflineOutput::renderUpTo(int64_t frame) {
    const int64_t count = frame - taken_ - static_cast<int64_t>(samples_.size());
    if (count <= 0) return;
    const size_t old = samples_.size();
    samples_.resize(old + static_cast<size_t>(count));
    RenderWithBand(renderer_, band_, queue_, samples_.data() + old, count);
}

const std::vector<int16_t>& OfflineOutput::samples() {
    renderUpTo(nowFrame());
    return samples_;
}

std::vector<int16_t> OfflineOutput::takeSamples(int64_t maxFrames) {
    const int64_t due = taken_ + static_cast<int64_t>(samples_.size());
    renderUpTo(nowFrame() - due > maxFrames ? due + maxFrames : nowFrame());
    std::vector<int16_t> out;
    out.swap(samples_);
    taken_ += static_cast<int64_t>(out.size());
    return out;
}

void OfflineOutput::renderTones(int64_t start, const std::vector<ToneSegment>& tones,
                                const std::vector<int64_t>& frames) {
    int64_t at = start;
    for (size_t i = 0; i < tones.size(); ++i) {
        const ToneSegment& tone = tones[i];
        if (tone.frequencyHz > 0 && tone.amplitude > 0 && frames[i] > 0) {
            queue_.push(
                SoundItem{at, frames[i], tone.frequencyHz, tone.amplitude, nullptr, ++serial_},
                nullptr);
        }
        at += frames[i];
    }
}

void OfflineOutput::renderPcm(int64_t start, const PcmBuffer& samples) {
    if (samples->empty()) return;
    queue_.push(
        SoundItem{start, static_cast<int64_t>(samples->size()), 0, 0, samples->data(), ++serial_},
        samples);
}

void OfflineOutput::renderStop(int64_t now) {
    renderUpTo(now);
    renderer_.stopUpTo(serial_);
    queue_.clear();
}
