#include "sound/tonwerk.h"

#include <algorithm>

#include "platform/clock.h"

namespace {
constexpr double kPreciseSleepSeconds = 0.002;
constexpr double kMinSleepSeconds = 0.0005;
}  // namespace

Tonwerk::Tonwerk(SoundOutput& output, Clock& clock) : output_(output), clock_(clock) {}

// The mode and the begin/end brackets carry no meaning for this generator; sounds take effect
// as soon as they are defined.
void Tonwerk::SoundMode(int32_t) {}
void Tonwerk::BeginSounds(int16_t) {}
void Tonwerk::EndSounds(int16_t) {}

void Tonwerk::DefineSound(int16_t number, double frequencyHz, double, double durationMs,
                          int32_t amplitude) {
    if (number < 1 || number > 4) return;
    sounds_[number] = ToneSegment{amplitude == 0 ? 0.0 : frequencyHz, std::max(0.0, durationMs),
                                  frequencyHz <= 0 ? 0 : amplitude};
}

void Tonwerk::Sequence(const std::vector<int32_t>& soundNumbers) { sequence_ = soundNumbers; }

void Tonwerk::SequenceEnabled(bool on) { enabled_ = on; }

void Tonwerk::LoadSequence() {
    loaded_.clear();
    loaded_.reserve(sequence_.size());
    for (int32_t number : sequence_) {
        if (number >= 1 && number <= 4) loaded_.push_back(sounds_[number]);
    }
}

void Tonwerk::PlaySequence() {
    if (!enabled_ || loaded_.empty()) return;
    stopped_ = false;
    output_.queueTones(loaded_);
    waitUntilIdle();
}

void Tonwerk::PlaySilence(double ms) {
    if (ms <= 0) return;
    stopped_ = false;
    output_.queueTones({ToneSegment{0, ms, 0}});
    waitUntilIdle();
}

void Tonwerk::waitUntilIdle() {
    // The last moments are slept without handling events: an event timer may wake up a
    // millisecond late, and every such delay would hold back the next character.
    while (!stopped_ && !output_.idle()) {
        const double queued = output_.secondsQueued();
        if (queued - kPreciseSleepSeconds >= kMinSleepSeconds) {
            clock_.waitForEvents(queued - kPreciseSleepSeconds);
        } else {
            clock_.sleepUntil(clock_.monotonicSeconds() + std::max(queued, kMinSleepSeconds));
        }
    }
}

void Tonwerk::WaitUntilHeard() {
    for (;;) {
        const double left = output_.heardEndSeconds() - clock_.monotonicSeconds();
        if (stopped_ || left <= 0) return;
        clock_.waitForEvents(left);
    }
}

void Tonwerk::StopSound() {
    stopped_ = true;
    output_.stop();
}
