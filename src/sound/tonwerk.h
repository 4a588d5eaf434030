#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "sound/sound_output.h"

class Clock;

// The tone generator: four numbered sounds and a sequence of sound numbers to play. The
// program only writes its properties and calls its methods, in the order DefineSounds and
// PlayCharacter give.
class Tonwerk {
public:
    Tonwerk(SoundOutput& output, Clock& clock);

    void SoundMode(int32_t mode);
    void BeginSounds(int16_t flag);
    void DefineSound(int16_t number, double frequencyHz, double second, double durationMs,
                     int32_t amplitude);
    void EndSounds(int16_t flag);
    void Sequence(const std::vector<int32_t>& soundNumbers);
    void SequenceEnabled(bool on);
    void LoadSequence();
    // Plays the loaded sequence and returns when the next sound may be queued (see
    // SoundOutput::idle), or at once after StopSound. Window events are handled while it
    // waits, except in the last two milliseconds, which are slept so that the next character
    // follows without a gap.
    void PlaySequence();
    // Places `ms` of silence on the timeline after what is queued and returns as PlaySequence
    // does, so that a pause between characters keeps the device's rhythm.
    void PlaySilence(double ms);
    // Returns once the last sound queued has reached the listener, handling window events.
    void WaitUntilHeard();
    // Silences whatever sounds; harmless when nothing does.
    void StopSound();

    SoundOutput& output() { return output_; }

private:
    void waitUntilIdle();

    SoundOutput& output_;
    Clock& clock_;
    std::array<ToneSegment, 5> sounds_{};  // index 1..4
    std::vector<int32_t> sequence_;
    std::vector<ToneSegment> loaded_;
    bool enabled_ = false;
    bool stopped_ = false;
};
