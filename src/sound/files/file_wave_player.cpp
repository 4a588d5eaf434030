#include "sound/files/file_wave_player.h"

#include <samplerate.h>
#include <sndfile.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/file_lookup.h"

namespace {
// Wake-up granularity while a file plays (s).
constexpr double kMinSleepSeconds = 0.001;
// Samples (all channels) decoded per read.
constexpr int kDecodeBlockSamples = 16384;

struct SndFile {
    SNDFILE* handle = nullptr;
    ~SndFile() {
        if (handle) sf_close(handle);
    }
};
}  // namespace

FileWavePlayer::FileWavePlayer(SoundOutput& output, Clock& clock)
    : output_(output), clock_(clock) {}

QString FileWavePlayer::TooLarge(const QString& path) {
    return QStringLiteral(
               "Die Tondatei %1 ist länger als %2 Sekunden oder größer als %3 MB und "
               "wird nicht abgespielt.")
        .arg(QFileInfo(path).fileName())
        .arg(kMaxSoundSeconds)
        .arg(kMaxSoundFileBytes / (1024 * 1024));
}

PcmBuffer FileWavePlayer::Decode(const QString& path, int sampleRate, QString* problem) {
    // Refused before it is opened: the size alone tells a stray file from a sound effect.
    if (QFileInfo(path).size() > kMaxSoundFileBytes) {
        if (problem) *problem = TooLarge(path);
        return nullptr;
    }
    SF_INFO info{};
    SndFile file;
    file.handle = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file.handle || info.channels < 1 || info.samplerate < 1 || info.frames < 1) {
        return nullptr;
    }
    const sf_count_t maxFrames = static_cast<sf_count_t>(kMaxSoundSeconds) * info.samplerate;
    if (info.frames > maxFrames) {
        if (problem) *problem = TooLarge(path);
        return nullptr;
    }
    // The header's rate, channels and length are only claims: memory grows with what is
    // actually decoded, block by block, and never past the fixed budget.
    const int channels = info.channels;
    const sf_count_t blockFrames = std::max<sf_count_t>(1, kDecodeBlockSamples / channels);
    std::vector<float> block(static_cast<size_t>(blockFrames) * channels);
    std::vector<float> mono;
    while (true) {
        const sf_count_t got = sf_readf_float(file.handle, block.data(), blockFrames);
        if (got <= 0) break;
        if (static_cast<qint64>(mono.size() + got) * channels > kMaxDecodedSamples ||
            static_cast<sf_count_t>(mono.size()) + got > maxFrames) {
            if (problem) *problem = TooLarge(path);
            return nullptr;
        }
        for (sf_count_t i = 0; i < got; ++i) {
            float sum = 0;
            for (int c = 0; c < channels; ++c) sum += block[i * channels + c];
            mono.push_back(sum / channels);
        }
    }
    if (mono.empty()) return nullptr;
    if (info.samplerate != sampleRate) {
        const double ratio = static_cast<double>(sampleRate) / info.samplerate;
        std::vector<float> resampled(static_cast<size_t>(std::ceil(mono.size() * ratio)) + 16);
        SRC_DATA data{};
        data.data_in = mono.data();
        data.input_frames = static_cast<long>(mono.size());
        data.data_out = resampled.data();
        data.output_frames = static_cast<long>(resampled.size());
        data.src_ratio = ratio;
        if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1) != 0) return nullptr;
        resampled.resize(static_cast<size_t>(data.output_frames_gen));
        mono = std::move(resampled);
    }
    auto pcm = std::make_shared<std::vector<int16_t>>(mono.size());
    for (size_t i = 0; i < mono.size(); ++i) {
        (*pcm)[i] =
            static_cast<int16_t>(std::lrint(std::clamp(mono[i] * 32767.0f, -32768.0f, 32767.0f)));
    }
    return pcm;
}

PcmBuffer FileWavePlayer::load(const QString& path) {
    const QFileInfo info(path);
    auto it = cache_.find(path);
    if (it != cache_.end() && it->modified == info.lastModified() && it->size == info.size()) {
        return it->samples;
    }
    QString problem;
    PcmBuffer samples = Decode(path, output_.sampleRate(), &problem);
    // Told once: the refusal is cached with the file's date and size.
    if (!problem.isEmpty()) problem_ = problem;
    cache_.insert(path, Cached{info.lastModified(), info.size(), samples});
    return samples;
}

QString FileWavePlayer::takeProblem() { return std::exchange(problem_, QString()); }

void FileWavePlayer::play(const QString& legacyName) {
    const QString path = FindDataFile(legacyName);
    if (path.isEmpty()) return;
    PcmBuffer samples = load(path);
    if (!samples || samples->empty()) return;
    output_.queuePcm(std::move(samples));
    // A sound file ends with sound: it is over once its last sample has been heard.
    for (;;) {
        const double left = output_.heardEndSeconds() - clock_.monotonicSeconds();
        if (left <= 0) break;
        clock_.sleepUntil(clock_.monotonicSeconds() + std::max(kMinSleepSeconds, left));
    }
}
