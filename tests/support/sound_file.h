#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// The samples of a sound file written by the trainer or morse2wav (any format libsndfile
// reads), empty when it cannot be read. `rate` gets the sample rate of a mono file, -1 for more
// channels.
std::vector<int16_t> ReadSoundFile(const QString& path, int* rate = nullptr);
