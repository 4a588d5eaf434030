#pragma once

#include <cstdint>
#include <deque>

#include "sound/band/band_mixer.h"
#include "sound/clocked_output.h"
#include "sound/tone_renderer.h"

// The sound output of tests and of the export: the same synthesis as the sound device, into
// memory, on whatever clock it is given (normally the virtual one). The buffer holds what a
// listener would have heard from the output's start up to the present moment, the silence
// between sounds included, so that sample index and clock time correspond exactly.
class OfflineOutput : public ClockedOutput {
public:
    OfflineOutput(Clock& clock, int sampleRate);

    // Every sample from the output's start (or from the last take) up to the present moment of
    // the clock.
    const std::vector<int16_t>& samples();
    // Hands the samples up to the present moment to the caller and forgets them, so that a long
    // export holds only what was rendered since the last take. The rendering runs on unchanged:
    // the pieces joined are the same samples as one whole.
    std::vector<int16_t> takeSamples(int64_t maxFrames = INT64_MAX);
    // Frames from the output's start up to the present moment.
    int64_t presentFrame() { return nowFrame(); }
    // Frames handed out by takeSamples so far.
    int64_t takenFrames() const { return taken_; }
    // Items that started late; zero unless something is wrong with the timeline.
    uint64_t lateItems() const { return renderer_.lateItems(); }
    void setBandConditions(const BandSettings& settings,
                           std::shared_ptr<const QrmTraffic> traffic) override;
    // How long the band goes on sounding after the last sign (0 without band conditions): a
    // recording runs its clock on by this much, as the trainer lets the band fade out.
    double bandTailSeconds() const { return bandOn_ ? BandMixer::TailSeconds() : 0; }

protected:
    void renderTones(int64_t start, const std::vector<ToneSegment>& tones,
                     const std::vector<int64_t>& frames) override;
    void renderPcm(int64_t start, const PcmBuffer& samples) override;
    void renderStop(int64_t now) override;

private:
    class Queue : public SoundItemSource {
    public:
        const SoundItem* peek() override;
        void pop() override;
        void push(const SoundItem& item, PcmBuffer pcm);
        void clear() { items_.clear(); }

    private:
        std::deque<std::pair<SoundItem, PcmBuffer>> items_;
        PcmBuffer playing_;  // keeps the samples of the item being rendered alive
    };

    void renderUpTo(int64_t frame);

    ToneRenderer renderer_;
    BandMixer band_;
    Queue queue_;
    uint64_t serial_ = 0;
    std::vector<int16_t> samples_;
    int64_t taken_ = 0;  // frames handed out by takeSamples
    bool bandOn_ = false;
};
