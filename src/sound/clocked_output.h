#pragma once

#include <algorithm>

#include "sound/sound_output.h"

class Clock;

// An output that plays nothing audible and keeps exact time on a clock: on the real clock it is
// the silent stand-in for a missing sound device, on a virtual clock the base of the offline
// output. Durations are counted in whole samples with the fraction carried to the next sound,
// just as the device would play them.
class ClockedOutput : public SoundOutput {
public:
    ClockedOutput(Clock& clock, int sampleRate);

    int sampleRate() const override { return rate_; }
    void queueTones(const std::vector<ToneSegment>& tones) override;
    void queuePcm(PcmBuffer samples) override;
    bool idle() override;
    double secondsQueued() override;
    double heardEndSeconds() override;
    void stop() override;
    void setNeed(SoundNeed need) override;
    SoundNeed need() const override { return need_; }

    // Samples of one tone once the carried fraction is applied.
    int64_t framesFor(double durationMs);

protected:
    // Called before a sound is placed on the timeline: the last moment to change the device.
    virtual void prepareQueue() {}
    // Called when the need has changed.
    virtual void needChanged() {}
    // Called with the position (in samples since the output started) where the sounds begin,
    // and with the samples of each tone as framesFor counted them.
    virtual void renderTones(int64_t, const std::vector<ToneSegment>&,
                             const std::vector<int64_t>&) {}
    virtual void renderPcm(int64_t, const PcmBuffer&) {}
    // Called with the position where the stop fade begins; everything queued is dropped.
    virtual void renderStop(int64_t) {}
    // The sample being played now; a device output counts the samples the device has taken.
    virtual int64_t nowFrame();
    // Where a sound queued now begins when what is queued ends at `end`: right after it,
    // unless that moment has already been played.
    virtual int64_t nextStart(int64_t end) { return std::max(end, nowFrame()); }
    // The first sample after everything queued.
    int64_t endFrame() const { return endFrame_; }
    // The frame after the last sample of the last tone or sound file queued.
    int64_t audibleEnd() const { return audibleEnd_; }
    // Monotonic seconds at the output's sample 0.
    double origin() const { return origin_; }

    Clock& clock_;

private:
    int rate_;
    double origin_;         // monotonic seconds at sample 0
    int64_t endFrame_ = 0;  // first frame after everything queued
    int64_t audibleEnd_ = 0;
    double carry_ = 0;      // fraction of a sample carried to the next tone
    SoundNeed need_;
};
