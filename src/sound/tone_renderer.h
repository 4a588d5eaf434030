#pragma once

#include <cstdint>
#include <vector>

// One sound placed on an output's timeline (frames counted from the output's start). A tone has
// a frequency and an amplitude; a sound file comes as ready samples. Silence needs no item: the
// renderer fills every frame between items with zeros.
struct SoundItem {
    int64_t startFrame = 0;
    int64_t frames = 0;
    double frequencyHz = 0;
    int amplitude = 0;             // peak sample value of a tone
    const int16_t* pcm = nullptr;  // `frames` ready samples instead of a tone
    uint64_t serial = 0;           // increasing; tells the owner when an item is done with
};

// Where the renderer takes its items from, in timeline order. Called from the thread that
// renders, so an implementation must not block.
class SoundItemSource {
public:
    virtual ~SoundItemSource() = default;
    virtual const SoundItem* peek() = 0;
    virtual void pop() = 0;
};

// Turns sound items into 16-bit mono samples. Pure and allocation-free after construction, so
// that an audio callback can run it: every edge of a tone is shaped with a Blackman-integral ramp
// inside the tone's slot (no key clicks), the sine's phase runs on from one buffer and one tone to
// the next, and silence is exact zero.
class ToneRenderer {
public:
    static constexpr double kEdgeMs = 5.0;      // rise and fall inside each tone
    static constexpr double kStopFadeMs = 5.0;  // fade when the sound is stopped

    explicit ToneRenderer(int sampleRate);

    int sampleRate() const { return rate_; }
    static int64_t StopFadeFrames(int sampleRate);
    // Gain of a rising edge at `x` in [0, 1] of its length; 0.5 at the middle.
    static double EdgeShape(double x);

    // Renders the next `count` frames of the timeline into `out`.
    void render(int16_t* out, int64_t count, SoundItemSource& source);
    // Fades out the sounding item if its serial is at most `serial`; the caller drops the
    // queued items up to that serial from its source.
    void stopUpTo(uint64_t serial);

    // Timeline frame of the next sample to be rendered.
    int64_t position() const { return pos_; }
    // Serial of the item being rendered, 0 between items: every item taken from the source
    // before it is done with.
    uint64_t activeSerial() const { return active_ ? cur_.item.serial : 0; }
    // Items that came after their start frame; each was started at once, shifting the rest.
    uint64_t lateItems() const { return late_; }

private:
    struct Current {
        SoundItem item;
        int64_t done = 0;       // frames rendered so far
        int64_t endAt = 0;      // frames after which it stops (shortened by a fade)
        int64_t fadeFrom = -1;  // frame of the item where a stop fade begins, -1 = none
        int64_t edgeFrames = 0;
        double stepCos = 1, stepSin = 0;
    };

    void start(const SoundItem& item);
    void renderCurrent(int16_t* out, int64_t count);
    double edgeGain(int64_t index, int64_t edgeFrames) const;
    double fadeGain(int64_t index) const;

    int rate_;
    std::vector<double> ramp_;  // rising edge over kEdgeMs, ramp_[i] at i + 0.5
    int64_t fadeFrames_;
    int64_t pos_ = 0;
    bool active_ = false;
    Current cur_;
    double cos_ = 1, sin_ = 0;  // oscillator state: the phase carried across tones and buffers
    uint64_t late_ = 0;
};
