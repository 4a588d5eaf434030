#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "sound/band/band_mixer.h"
#include "sound/clocked_output.h"
#include "sound/device/output_stream.h"
#include "sound/sidetone.h"
#include "sound/spsc_ring.h"
#include "sound/tone_renderer.h"

// The sound card. The window thread keeps the timeline exactly as the silent output does and
// hands tone descriptors and references to sound-file samples to the audio callback through a
// lock-free ring; the callback renders them with the shared synthesis and publishes how far the
// device has got, which is the trainer's clock while sound plays.
//
// The stream runs only while there is something to hear: about two seconds after the last
// sound it stops, and the next sound starts it again where the timeline stood, so that the
// timeline simply starts later. Its latency follows the need: generous for runs, short for
// keyboard mode; a change waits until everything queued has been heard.
class PortAudioOutput : public ClockedOutput, private StreamRenderer {
public:
    // The default output device; nullptr when there is none or it cannot be used.
    static std::unique_ptr<PortAudioOutput> Open(Clock& clock);
    // The output on `stream` (a fake one in tests); nullptr when the stream cannot be opened.
    static std::unique_ptr<PortAudioOutput> OnStream(Clock& clock,
                                                     std::unique_ptr<OutputStream> stream);
    // The same output without a device: buffers are rendered only by renderDeviceBuffer (for
    // measurements and tests).
    static std::unique_ptr<PortAudioOutput> Detached(Clock& clock, int sampleRate, int channels);

    // Fades out what sounds and closes the device.
    ~PortAudioOutput() override;

    bool idle() override;
    double secondsQueued() override;
    double heardEndSeconds() override;
    uint64_t deviceUnderflows() const override;
    uint64_t lateSounds() const override;
    void setBandConditions(const BandSettings& settings,
                           std::shared_ptr<const QrmTraffic> traffic) override;

    // What the device callback does for one buffer of interleaved 16-bit samples. Never
    // blocks, allocates, logs or locks.
    void renderDeviceBuffer(int16_t* out, unsigned long frames, bool deviceUnderflow) override;
    void setBufferDelay(double seconds) override;

    int channels() const { return channels_; }
    // The latency of the stream now open, or last open (s).
    double latencySeconds() const { return latencyFrames_ / static_cast<double>(sampleRate()); }
    // The band conditions still sound (fading out after the last sound): the stream is not
    // silent yet, though everything queued has been played.
    bool bandAudible() const { return bandAudible_.load(std::memory_order_acquire); }
    // The latency the device granted for the short or the generous buffer (s); 0 before it
    // was first opened that way.
    double grantedLatencySeconds(bool prompt) const { return latencyMs_[prompt] / 1000.0; }
    // One German line with the device's underflows, the sounds that came too late and the
    // latency they happened with; empty when there were none.
    std::string underrunReport() const;
    // Times the device stopped taking samples for so long that the clock took over.
    int stalls() const { return stalls_; }
    // True while the stream runs.
    bool streaming() const { return running_; }
    // The keyed tone of a key being sent, mixed into every buffer the device takes.
    Sidetone& sidetone() { return sidetone_; }

    // The buffer asked for: generous for a run, short for a typed key (s).
    static constexpr double kRunLatencySeconds = 0.060;
    static constexpr double kPromptLatencySeconds = 0.010;
    // The buffers tried for a key played by hand, smallest first; a stream that underflows
    // takes the next one, once nothing sounds (s).
    static constexpr std::array<double, 5> kSmallestLatencySteps = {0.003, 0.005, 0.008, 0.012,
                                                                    0.020};
    // The step a key played by hand now asks for (s).
    double smallestLatencySeconds() const { return kSmallestLatencySteps[smallestStep_]; }
    // The step this device settled on, to start from the next time: each underflow that finds
    // it can hold a PulseAudio stream up for a second or two.
    size_t smallestStep() const { return smallestStep_; }
    void startSmallestAt(size_t step) {
        smallestStep_ = std::min(step, kSmallestLatencySteps.size() - 1);
    }
    // Told each larger step, on the window thread.
    void onSmallestStepGrown(std::function<void(size_t)> told) { stepGrown_ = std::move(told); }
    // Silence after which the stream stops (s).
    static constexpr double kIdleStopSeconds = 2.0;

protected:
    int64_t nowFrame() override;
    int64_t nextStart(int64_t end) override;
    void prepareQueue() override;
    void needChanged() override;
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

    // Opens the stream with the short or the generous latency.
    bool openStream(bool prompt);
    // The open stream has the latency the need asks for.
    bool openAsNeeded() const;
    // A stream for a key played by hand that underflowed is opened again with the next larger
    // buffer, once nothing sounds.
    void growSmallestBuffer();
    void growSmallestStepTo(size_t step);
    void restartIfHeldUp();

    // Opens the stream when it is closed (with the latency the need asks for) and starts it.
    void startStream();
    // Stops and closes the stream; everything audible must have been heard.
    void closeStream();
    // The timeline frame the device takes next; the clock's while the device stands still.
    int64_t devicePosition();
    // The device position now, assuming it goes on at its rate since it last took a buffer.
    int64_t expectedPosition();
    // Everything audible has passed the device.
    bool quiet();
    // Follows the need when nothing audible is left, and stops a stream that has been silent
    // long enough; runs on a timer while the stream runs.
    void tend();

    std::unique_ptr<OutputStream> stream_;
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
    std::atomic<bool> sidetoneAudible_{false};
    std::atomic<double> takenAt_{0};        // monotonic seconds when the device last took a buffer
    std::atomic<int64_t> bufferFrames_{0};  // frames of the last buffer the device took
    // Monotonic seconds when timeline frame 0 would be heard, as of the last buffer; NaN until
    // the running stream has taken one.
    std::atomic<double> heardOrigin_{std::nan("")};
    static_assert(std::atomic<int64_t>::is_always_lock_free);
    static_assert(std::atomic<double>::is_always_lock_free);

    // The callback's own.
    ToneRenderer renderer_;
    BandMixer band_;  // settings reach it from the window thread as snapshots
    RingSource source_{ring_};
    uint64_t handledDrop_ = 0;
    std::array<int16_t, 1024> mono_{};
    double bufferDelay_ = -1;  // the device's delay for the coming buffer (s), -1 = not told
    Sidetone sidetone_;

    // The window thread's own.
    uint64_t serial_ = 0;
    std::deque<std::pair<uint64_t, PcmBuffer>> inUse_;  // samples the callback may still read
    int64_t leadFrames_ = 0;  // how far ahead of the device a sound is placed while it runs
    bool open_ = false;
    bool running_ = false;
    bool openPrompt_ = false;    // the open stream has the short latency
    bool openSmallest_ = false;  // ... the smallest, for a key played by hand
    size_t smallestStep_ = 0;
    std::function<void(size_t)> stepGrown_;
    uint64_t underflowsAtOpen_ = 0;
    bool broken_ = false;  // the stream could not be opened again: the clock keeps time
    std::array<double, 2> latencyMs_{};      // generous, short: as the device granted
    std::array<uint64_t, 2> underrunsBy_{};  // counted on streams closed since
    uint64_t underrunsCounted_ = 0;
    int timer_ = 0;
    int64_t lastPosition_ = -1;
    double lastMove_ = 0;  // monotonic seconds when the device last moved
    bool stalled_ = false;
    double startedAt_ = 0;  // monotonic seconds of the last start
    double heldUpAt_ = -1;  // the start that followed the last standstill
    int stalls_ = 0;
    uint64_t droppedItems_ = 0;  // could not be queued while the device stood still
};
