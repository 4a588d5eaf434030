#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

// The tone of a key being sent, made in the sound callback from the key's state rather than
// queued ahead of time: a change of the key starts the edge in the very next buffer. Edges are
// the renderer's click-free 5 ms ramps; a change while an edge runs turns it from where it
// stands. Any thread sets the key and the pitch; only the audio thread mixes.
class Sidetone {
public:
    explicit Sidetone(int sampleRate);

    // The key's state and the moment it changed (monotonic clock [µs]).
    void setKey(bool down, int64_t atUs);
    bool keyDown() const;
    int64_t keyChangedUs() const;
    void setPitch(double hz);
    void setAmplitude(int peak);

    // Adds the next `frames` of the tone to `out` (interleaved, `channels` samples a frame),
    // saturating. Never blocks, allocates or locks; costs nothing while the key is up and quiet.
    void mixInto(int16_t* out, unsigned long frames, int channels);
    // The tone is audible or on its way (audio thread).
    bool sounding() const { return gain_ > 0 || target_; }

private:
    static uint64_t Pack(bool down, int64_t atUs);

    int rate_;
    std::vector<double> ramp_;      // rising edge, ramp_[i] at i + 0.5 of kEdgeMs
    std::atomic<uint64_t> key_{0};  // moment [µs] << 1 | down
    std::atomic<double> pitchHz_{800};
    std::atomic<int> amplitude_{24000};
    static_assert(std::atomic<uint64_t>::is_always_lock_free);

    // The audio thread's own.
    bool target_ = false;
    double gain_ = 0;
    int64_t edgeIndex_ = 0;  // position on the ramp
    double cos_ = 1, sin_ = 0;
    double stepHz_ = 0, stepCos_ = 1, stepSin_ = 0;
};
