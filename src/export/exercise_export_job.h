#pragma once

#include <QString>

#include "export/exercise_recording.h"
#include "platform/random.h"
#include "sound/band/band_settings.h"
#include "sound/files/audio_file_writer.h"

// Writes a complete run of the current exercise into an audio file, and its text as the answer
// key beside it (same name, .txt, UTF-8), a block at a time so that the window stays responsive
// between blocks. Nothing exists under either name before finish(); cancel() leaves nothing.
class ExerciseExportJob {
public:
    // The run is heard through `band` when it is switched on; its seed decides the noise, the
    // fading and the second station's traffic. `runSeed` decides the run's random draws: every
    // export is a new one unless a caller repeats a seed.
    explicit ExerciseExportJob(const QString& audioPath, const BandSettings& band = {},
                               uint32_t runSeed = FreshSeed(), int sampleRate = 48000);

    static QString AnswerKeyPath(const QString& audioPath);

    // Records the run and opens the file; false with error() when the file cannot be written.
    bool start();
    // Writes the next block of sound; false on a write error.
    bool step();
    bool done() const { return recording_.done(); }
    // 0 to 1.
    double progress() const;
    // Finishes the audio file and writes the answer key.
    bool finish();
    void cancel() { writer_.discard(); }

    QString error() const { return error_; }
    ExerciseRecording& recording() { return recording_; }

private:
    QString path_;
    ExerciseRecording recording_;
    AudioFileWriter writer_;
    QString error_;
};
