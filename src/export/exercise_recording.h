#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/recording_print_layer.h"
#include "platform/recording_surface.h"
#include "platform/virtual_clock.h"
#include "sound/offline_output.h"
#include "sound/tonwerk.h"
#include "sound/wave_player.h"

// A complete run of the current exercise kind with the current settings and effects (preamble,
// groups or text, closing sign, spoken characters when they are ticked), recorded on a virtual
// clock into an offline output. Nothing sounds, nothing enters the learner's record, and the
// user's state, controls, random sequence and display stay as they were: the run goes on copies,
// which are dropped afterwards. The sound is then taken block by block, so that a long run never
// has to be held in memory as samples.
class ExerciseRecording {
public:
    // Makes the player of the spoken characters, playing into the recording's output.
    using SpokenPlayer = std::function<std::unique_ptr<WavePlayer>(SoundOutput&, Clock&)>;

    // `seed` decides the run's random draws (groups, picked texts); the trainer's own sequence
    // and the learner's record are left alone.
    ExerciseRecording(int sampleRate, const SpokenPlayer& spoken, uint32_t seed);

    // The band the run is heard through; before record(). Switched on, the recording goes on
    // for the band's fade-out after the closing sign, as the trainer sounds it.
    void setBandConditions(const BandSettings& settings, std::shared_ptr<const QrmTraffic> traffic);

    // Runs the exercise; takes milliseconds for a run of minutes.
    void record();
    // The run's text as it was sent, without preamble and closing sign: the answer key.
    const QString& text() const { return text_; }
    int sampleRate() const { return rate_; }
    int64_t totalFrames() const { return total_; }
    int64_t framesDone() const { return output_.takenFrames(); }
    bool done() const { return framesDone() >= total_; }

    // The next at most `maxFrames` samples of the run.
    std::vector<int16_t> nextBlock(int64_t maxFrames);

private:
    int rate_;
    VirtualClock clock_;
    OfflineOutput output_;
    Tonwerk tonwerk_;
    RecordingSurface surface_;
    RecordingPrintLayer printer_;
    std::unique_ptr<WavePlayer> spoken_;
    QString text_;
    int64_t total_ = 0;
    uint32_t seed_;
};
