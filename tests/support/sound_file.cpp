#include "support/sound_file.h"

#include <sndfile.h>

#include <QFile>

std::vector<int16_t> ReadSoundFile(const QString& path, int* rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) return {};
    std::vector<int16_t> samples(static_cast<size_t>(info.frames));
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    if (rate) *rate = info.channels == 1 ? info.samplerate : -1;
    return samples;
}
