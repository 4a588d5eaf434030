#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/band/band_settings.h"

struct QrmTraffic;

// One tone or silence handed to the renderer: the sender describes sounds, it never computes
// samples itself.
struct ToneSegment {
    double frequencyHz = 0;  // 0 = silence
    double durationMs = 0;
    int amplitude = 0;  // peak sample value, 0 = silence
};

using PcmBuffer = std::shared_ptr<const std::vector<int16_t>>;

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
    // True when the last queued sample has been played.
    virtual bool idle() = 0;
    // Seconds of queued sound still to be played (an estimate for sleeping, not a promise).
    virtual double secondsQueued() = 0;
    // Silences the output within a few milliseconds with a short fade, dropping the queue.
    virtual void stop() = 0;
    // Band conditions mixed into everything played from the next block on; the traffic is the
    // second station's. An output that plays nothing ignores them.
    virtual void setBandConditions(const BandSettings&, std::shared_ptr<const QrmTraffic>) {}
    // Buffers the device had to fill with silence because nothing was ready.
    virtual uint64_t underruns() const { return 0; }
};
