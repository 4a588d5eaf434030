#pragma once

#include <atomic>
#include <deque>
#include <memory>

#include "platform/band/band_mixer.h"
#include "platform/clocked_output.h"
#include "platform/spsc_ring.h"
#include "platform/tone_renderer.h"

typedef void PaStream;

// The sound card through PortAudio. The window thread keeps the timeline exactly as the silent
// output does and hands tone descriptors and references to sound-file samples to the audio
// callback through a lock-free ring; the callback renders them with the shared synthesis and
// publishes how far the device has got, which is the trainer's clock while sound plays.
class PortAudioOutput : public ClockedOutput {
public:
    // Opens the default output device; nullptr when there is none or it cannot be used.
    static std::unique_ptr<PortAudioOutput> Open(Clock& clock);
    // The same output without a device: buffers are rendered only by renderDeviceBuffer (for
    // measurements and tests).
    static std::unique_ptr<PortAudioOutput> Detached(Clock& clock, int sampleRate, int channels);

    // Fades out what sounds and closes the device.
    ~PortAudioOutput() override;

    bool idle() override;
    double secondsQueued() override;
    uint64_t underruns() const override;
    void setBandConditions(const BandSettings& settings,
                           std::shared_ptr<const QrmTraffic> traffic) override;

    // What the device callback does for one buffer of interleaved 16-bit samples. Never
    // blocks, allocates, logs or locks.
    void renderDeviceBuffer(int16_t* out, unsigned long frames, bool deviceUnderflow);

    int channels() const { return channels_; }
    double latencySeconds() const { return latencyFrames_ / static_cast<double>(sampleRate()); }
    // The band conditions still sound (fading out after the last sound): the stream is not
    // silent yet, though everything queued has been played.
    bool bandAudible() const { return bandAudible_.load(std::memory_order_acquire); }
    // Times the device stopped taking samples for so long that the clock took over.
    int stalls() const { return stalls_; }

protected:
    int64_t nowFrame() override;
    void renderTones(int64_t start, const std::vector<ToneSegment>& tones,
                     const std::vector<int64_t>& frames) override;
    void renderPcm(int64_t start, const PcmBuffer& samples) override;
    void renderStop(int64_t now) override;

private:
    PortAudioOutput(Clock& clock, int sampleRate, int channels);

    // The callback's view of the ring: items in order, those of a stop dropped.
    class RingSource : public SoundItemSource {
    public:
        explicit RingSource(SpscRing<SoundItem, 1024>& ring) : ring_(ring) {}
        const SoundItem* peek() override { return ring_.front(); }
        void pop() override;
        uint64_t lastTaken = 0;

    private:
        SpscRing<SoundItem, 1024>& ring_;
    };

    void push(const SoundItem& item);
    void releaseFinished();
    void renderMono(int16_t* out, unsigned long frames);

    PaStream* stream_ = nullptr;
    bool paInitialised_ = false;
    int channels_;
    int64_t latencyFrames_ = 0;

    // Shared with the callback.
    SpscRing<SoundItem, 1024> ring_;
    std::atomic<uint64_t> dropUpTo_{0};  // items up to this serial were stopped
    std::atomic<int64_t> position_{0};   // timeline frame the device takes next
    std::atomic<uint64_t> doneUpTo_{0};  // items up to this serial are no longer read
    std::atomic<uint64_t> underflows_{0};
    std::atomic<uint64_t> lateItems_{0};
    std::atomic<bool> bandAudible_{false};
    static_assert(std::atomic<int64_t>::is_always_lock_free);

    // The callback's own.
    ToneRenderer renderer_;
    BandMixer band_;  // settings reach it from the window thread as snapshots
    RingSource source_{ring_};
    uint64_t handledDrop_ = 0;
    std::array<int16_t, 1024> mono_{};

    // The window thread's own.
    uint64_t serial_ = 0;
    std::deque<std::pair<uint64_t, PcmBuffer>> inUse_;  // samples the callback may still read
    int64_t audibleEnd_ = 0;                            // frame after the last audible sample
    int64_t lastPosition_ = -1;
    double lastMove_ = 0;  // monotonic seconds when the device last moved
    bool stalled_ = false;
    int stalls_ = 0;
    uint64_t droppedItems_ = 0;  // could not be queued while the device stood still
};
