#pragma once

#include <QString>

// Plays a named sound file to its end before returning, silently doing nothing for a file that
// does not exist. Names come as the trainer writes them (".\Alfa\S1.wav", "alfa\s7.wav",
// "S12.wav"): backslashes, an optional ".\" and mixed case.
class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    virtual void play(const QString& legacyName) = 0;
    // A German message about a file that play() refused as too large, once; empty otherwise.
    virtual QString takeProblem() { return {}; }
};
