#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "sound/band/band_settings.h"

struct QrmTraffic;

// One tone or silence handed to the renderer: the sender describes sounds, it never computes
// samples itself.
struct ToneSegment {
    double frequencyHz = 0;  // 0 = silence
    double durationMs = 0;
    int amplitude = 0;  // peak sample value, 0 = silence
};

using PcmBuffer = std::shared_ptr<const std::vector<int16_t>>;

// What the coming sounds ask of the device. A run's schedule is known seconds ahead, so a
// generous buffer costs nothing and rides out a late callback; a typed key must sound at once.
// Between sounds the device may stop its stream to save power, unless a mode that waits for
// input asks to keep it running.
struct SoundNeed {
    bool promptResponse = false;  // short buffer (keyboard mode); otherwise a generous one
    bool keepOpen = false;        // keep the stream running through silence
    // With promptResponse: a key played by hand, whose tone must follow the contact. The buffer
    // is the smallest the device keeps without underflows, found by trying.
    bool smallestBuffer = false;
    bool operator==(const SoundNeed&) const = default;
};

// Where samples go: the sound device, a silent real-time stand-in, or memory. Every method is
// called from the window thread only; an implementation with an audio thread hands data over
// without locks.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    virtual int sampleRate() const = 0;
    // Appends tones after everything already queued, with no gap between them.
    virtual void queueTones(const std::vector<ToneSegment>& tones) = 0;
    // Appends ready samples (a sound file) at the output's rate, mono.
    virtual void queuePcm(PcmBuffer samples) = 0;
    // True when the next sound may be queued: a clock-driven output has played its last
    // queued sample, a device is a fixed lead ahead of it. The rhythm follows this alone, never
    // the moment a sound is heard.
    virtual bool idle() = 0;
    // Seconds until idle (an estimate for sleeping, not a promise).
    virtual double secondsQueued() = 0;
    // The moment (monotonic seconds) the last sample of the last tone or sound file queued so
    // far reaches the listener: its place on the timeline plus the device's latency. For what a
    // person perceives: the end of a sign or a run, the end of a sound file.
    virtual double heardEndSeconds() = 0;
    // Silences the output within a few milliseconds with a short fade, dropping the queue.
    virtual void stop() = 0;
    // Band conditions mixed into everything played from the next block on; the traffic is the
    // second station's. An output that plays nothing ignores them.
    virtual void setBandConditions(const BandSettings&, std::shared_ptr<const QrmTraffic>) {}
    // Buffers the device reported it could not be given in time (the audio thread was late).
    virtual uint64_t deviceUnderflows() const { return 0; }
    // Sounds that reached the audio thread after their place on the timeline had been played
    // (the window thread was late); each started at once, a little late.
    virtual uint64_t lateSounds() const { return 0; }
    // Both kinds together.
    uint64_t underruns() const { return deviceUnderflows() + lateSounds(); }
    // The device follows a new need between sounds, never inside one.
    virtual void setNeed(SoundNeed need) = 0;
    virtual SoundNeed need() const = 0;
};

// Asks `output` for `need` while the scope lasts, then for what was asked before.
class SoundNeedScope {
public:
    SoundNeedScope(SoundOutput& output, SoundNeed need) : output_(output), before_(output.need()) {
        output_.setNeed(need);
    }
    ~SoundNeedScope() { output_.setNeed(before_); }
    SoundNeedScope(const SoundNeedScope&) = delete;
    SoundNeedScope& operator=(const SoundNeedScope&) = delete;

private:
    SoundOutput& output_;
    SoundNeed before_;
};
