#include "export/exercise_export_job.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "exercises/qrm_traffic.h"
#include "sound/files/file_wave_player.h"

namespace {
// Sound written per step [s]: long enough to be quick, short enough for a lively dialog.
constexpr int kBlockSeconds = 10;
}  // namespace

ExerciseExportJob::ExerciseExportJob(const QString& audioPath, const BandSettings& band,
                                     uint32_t runSeed, int sampleRate)
    : path_(audioPath),
      recording_(
          sampleRate,
          [](SoundOutput& output, Clock& clock) {
              return std::make_unique<FileWavePlayer>(output, clock);
          },
          runSeed) {
    if (band.enabled) recording_.setBandConditions(band, BuildQrmTraffic(band.seed));
}

QString ExerciseExportJob::AnswerKeyPath(const QString& audioPath) {
    const QFileInfo info(audioPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".txt"));
}

bool ExerciseExportJob::start() {
    if (!writer_.open(path_, recording_.sampleRate())) {
        error_ = writer_.error();
        return false;
    }
    recording_.record();
    return true;
}

double ExerciseExportJob::progress() const {
    const int64_t total = recording_.totalFrames();
    return total > 0 ? static_cast<double>(recording_.framesDone()) / total : 1.0;
}

bool ExerciseExportJob::step() {
    const std::vector<int16_t> block =
        recording_.nextBlock(static_cast<int64_t>(kBlockSeconds) * recording_.sampleRate());
    if (!writer_.write(block.data(), static_cast<int64_t>(block.size()))) {
        error_ = writer_.error();
        return false;
    }
    return true;
}

bool ExerciseExportJob::finish() {
    while (!done()) {
        if (!step()) return false;
    }
    QSaveFile key(AnswerKeyPath(path_));
    if (!key.open(QIODevice::WriteOnly) || key.write((recording_.text() + u'\n').toUtf8()) < 0) {
        cancel();
        error_ = QStringLiteral("der Lösungstext lässt sich nicht schreiben");
        return false;
    }
    if (!writer_.commit()) {
        error_ = writer_.error();
        key.cancelWriting();
        return false;
    }
    if (!key.commit()) {
        QFile::remove(path_);
        error_ = QStringLiteral("der Lösungstext lässt sich nicht schreiben");
        return false;
    }
    return true;
}
