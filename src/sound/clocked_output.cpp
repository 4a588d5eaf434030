#include "sound/clocked_output.h"

#include <algorithm>
#include <cmath>

#include "platform/clock.h"
#include "sound/tone_renderer.h"

ClockedOutput::ClockedOutput(Clock& clock, int sampleRate)
    : clock_(clock), rate_(sampleRate), origin_(clock.monotonicSeconds()) {}

int64_t ClockedOutput::nowFrame() {
    return static_cast<int64_t>(std::floor((clock_.monotonicSeconds() - origin_) * rate_ + 1e-6));
}

int64_t ClockedOutput::framesFor(double durationMs) {
    const double exact = durationMs * rate_ / 1000.0 + carry_;
    const double whole = std::floor(exact);
    carry_ = exact - whole;
    return static_cast<int64_t>(whole);
}

void ClockedOutput::queueTones(const std::vector<ToneSegment>& tones) {
    prepareQueue();
    const int64_t start = nextStart(endFrame_);
    std::vector<int64_t> frames;
    frames.reserve(tones.size());
    int64_t total = 0;
    for (const ToneSegment& tone : tones) {
        frames.push_back(framesFor(tone.durationMs));
        total += frames.back();
        if (tone.frequencyHz > 0 && tone.amplitude > 0 && frames.back() > 0) {
            audibleEnd_ = start + total;
        }
    }
    renderTones(start, tones, frames);
    endFrame_ = start + total;
}

void ClockedOutput::queuePcm(PcmBuffer samples) {
    if (!samples) return;
    prepareQueue();
    const int64_t start = nextStart(endFrame_);
    renderPcm(start, samples);
    endFrame_ = start + static_cast<int64_t>(samples->size());
    if (!samples->empty()) audibleEnd_ = endFrame_;
}

bool ClockedOutput::idle() { return nowFrame() >= endFrame_; }

double ClockedOutput::secondsQueued() {
    // From the clock itself rather than the whole sample now playing, so that a wait that a
    // window event interrupted still ends exactly on the last sample.
    return std::max(0.0,
                    origin_ + endFrame_ / static_cast<double>(rate_) - clock_.monotonicSeconds());
}

double ClockedOutput::heardEndSeconds() {
    return origin_ + audibleEnd_ / static_cast<double>(rate_);
}

void ClockedOutput::stop() {
    const int64_t now = nowFrame();
    if (endFrame_ > now) {
        renderStop(now);
        // The fade-out still sounds for a few milliseconds; what comes next follows it.
        endFrame_ = now + ToneRenderer::StopFadeFrames(rate_);
        audibleEnd_ = std::min(audibleEnd_, endFrame_);
    }
}

void ClockedOutput::setNeed(SoundNeed need) {
    if (need == need_) return;
    need_ = need;
    needChanged();
}
