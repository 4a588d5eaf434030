#pragma once

#include <QString>

// Plays a named sound file to its end before returning, silently doing nothing for a file that
// does not exist. Names come as the trainer writes them (".\Alfa\S1", "alfa\s7", "S12"), without
// ".wav".
class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    virtual void play(const QString& legacyName) = 0;
};
