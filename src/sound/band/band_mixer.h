#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "sound/band/band_settings.h"
#include "sound/band/noise_source.h"
#include "sound/band/qrm_station.h"
#include "sound/band/qsb_fader.h"
#include "sound/band/receiver_filter.h"
#include "sound/band/snapshot_exchange.h"
#include "sound/band/static_crashes.h"

// Mixes the band conditions into the wanted signal, block by block, after the tone renderer.
// Settings come from the window thread as immutable snapshots and take effect at the next
// block; everything else runs on the rendering thread without allocating, locking or logging.
//
// The band sounds only while something is being sent: it fades in when a sound is queued,
// holds through the gaps of a run and fades out after the last sound. Switched off and faded
// out, the mixer leaves the samples exactly as they were.
class BandMixer {
public:
    static constexpr int kBlockFrames = 64;
    static constexpr double kFadeInS = 0.25;
    static constexpr double kHoldS = 2.0;  // longer than any gap inside a run at usual speeds
    static constexpr double kFadeOutS = 0.5;
    // Peak of the trainer's tones, the reference of every level [sample value].
    static constexpr double kReferencePeak = 32000;

    explicit BandMixer(int sampleRate);

    // Window thread: new settings and the second station's traffic (kept alive here).
    void set(const BandSettings& settings, std::shared_ptr<const QrmTraffic> traffic);

    // Rendering thread. Takes new settings if there are any.
    void refresh();
    // True when the samples pass unchanged: switched off and faded out.
    bool bypassed() const { return !settings_.enabled && gate_ == 0 && gain_ == 1.0; }
    // Centres the receiver on the wanted tone.
    void tuneTo(double toneHz);
    // At the start of every block of the timeline's grid: `sending`, a sound is playing or
    // about to; `sounding`, the wanted signal is not silent at this moment.
    void beginBlock(bool sending, bool sounding);
    // Mixes into `io` (at most the rest of the block).
    void process(int16_t* io, int count);
    // The band adds sound at the moment (it is open or fading).
    bool audible() const { return gate_ > 0; }
    // Seconds the band goes on sounding after the last sound.
    static double TailSeconds() { return kHoldS + kFadeOutS; }

private:
    struct Snapshot {
        BandSettings settings;
        std::shared_ptr<const QrmTraffic> traffic;
    };

    void adopt(const Snapshot& snapshot);
    void retune();

    int rate_;
    SnapshotExchange<Snapshot> exchange_;

    // The rendering thread's own.
    BandSettings settings_;
    bool seeded_ = false;
    double wantedGain_ = 1;  // of the wanted signal while the band is on
    double noiseSigma_ = 0;
    double noisePower_ = 0;  // wanted in the measuring band around the tone [sample value²]
    double qrmPeak_ = 0;
    double centreHz_ = 800;
    double gain_ = 1;    // the wanted signal's gain now, gliding to its target
    double gate_ = 0;    // 0..1, how far the band is faded in
    int64_t hold_ = 0;   // frames the band stays open without a sound
    bool open_ = false;  // in the current block
    NoiseSource noise_;
    QsbFader qsb_;
    QrmStation qrm_;
    StaticCrashes qrn_;
    ReceiverFilter filter_;
    std::array<float, kBlockFrames> bus_{};     // what the band adds
    std::array<float, kBlockFrames> fading_{};  // the wanted signal's fading gain
};
