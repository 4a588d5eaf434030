#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include "sound/sound_output.h"
#include "sound/wave_player.h"

class Clock;

// Plays WAV files through the trainer's sound output: decoded with libsndfile, mixed to mono
// and resampled to the output's rate, then queued like any other sound. play() returns when
// the file has been heard, sleeping meanwhile without handling window events; a missing or
// unreadable file returns at once.
class FileWavePlayer : public WavePlayer {
public:
    FileWavePlayer(SoundOutput& output, Clock& clock);
    void play(const QString& legacyName) override;
    QString takeProblem() override;

    // Spoken characters and effects last a second or two; longer or larger files are refused
    // unread, so a stray file neither fills memory nor holds up a run while it is decoded.
    static constexpr int kMaxSoundSeconds = 10;
    static constexpr qint64 kMaxSoundFileBytes = 16 * 1024 * 1024;
    // What a file may decode to, whatever its header claims: the time limit at 48 kHz stereo
    // (samples, all channels together).
    static constexpr qint64 kMaxDecodedSamples = qint64{kMaxSoundSeconds} * 48000 * 2;

    // The samples of a sound file at `sampleRate`, mono; nullptr when it cannot be read, with
    // a German message in `problem` when it is over the limits above.
    static PcmBuffer Decode(const QString& path, int sampleRate, QString* problem = nullptr);

private:
    struct Cached {
        QDateTime modified;
        qint64 size = 0;
        PcmBuffer samples;
    };
    PcmBuffer load(const QString& path);
    static QString TooLarge(const QString& path);

    SoundOutput& output_;
    Clock& clock_;
    QHash<QString, Cached> cache_;  // the spoken characters come round again and again
    QString problem_;
};
