#include "sound/files/audio_file_writer.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {
// The libsndfile format for a file name's suffix, 0 when unknown.
int FormatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("wav")) return SF_FORMAT_RF64 | SF_FORMAT_PCM_16;
    if (suffix == QLatin1String("flac")) return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (suffix == QLatin1String("ogg")) return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    if (suffix == QLatin1String("opus")) return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    if (suffix == QLatin1String("mp3")) return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    return 0;
}

// The rates an MPEG layer III file can have. libsndfile would refuse the others too, but it
// does not free its encoder when it does.
bool Mp3TakesRate(int rateHz) {
    for (int rate : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}) {
        if (rate == rateHz) return true;
    }
    return false;
}
}  // namespace

AudioFileWriter::~AudioFileWriter() { discard(); }

const QStringList& AudioFileWriter::Suffixes() {
    static const QStringList suffixes = {QStringLiteral("wav"), QStringLiteral("flac"),
                                         QStringLiteral("ogg"), QStringLiteral("opus"),
                                         QStringLiteral("mp3")};
    return suffixes;
}

QString AudioFileWriter::CheckName(const QString& path) {
    if (FormatFor(path) != 0) return {};
    return QStringLiteral(
               "unbekanntes Dateiformat „%1“: möglich sind .wav, .flac, .ogg, .opus und .mp3")
        .arg(QFileInfo(path).fileName().right(40));
}

bool AudioFileWriter::fail(const QString& message) {
    error_ = message;
    discard();
    return false;
}

bool AudioFileWriter::open(const QString& path, int rateHz) {
    discard();
    error_.clear();
    frames_ = 0;
    const int format = FormatFor(path);
    if (format == 0) return fail(CheckName(path));
    const QFileInfo info(path);
    const auto rateRefused = [&] {
        return fail(QStringLiteral("das Format .%1 lässt sich mit %2 Hz nicht schreiben")
                        .arg(info.suffix().toLower())
                        .arg(rateHz));
    };
    if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG && !Mp3TakesRate(rateHz)) {
        return rateRefused();
    }
    path_ = info.absoluteFilePath();
    // Hidden, beside the final file: the rename at the end stays within one file system.
    partPath_ = info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(info.fileName()));
    QByteArray name = QFile::encodeName(partPath_);
    fd_ = mkstemps(name.data(), 5);
    if (fd_ < 0) {
        partPath_.clear();
        return fail(QStringLiteral("der Ordner fehlt oder ist nicht beschreibbar"));
    }
    partPath_ = QFile::decodeName(name);
    SF_INFO sfInfo{};
    sfInfo.samplerate = rateHz;
    sfInfo.channels = 1;
    sfInfo.format = format;
    sound_ = sf_open_fd(fd_, SFM_WRITE, &sfInfo, SF_FALSE);
    if (!sound_) return rateRefused();
    // A WAV file stays a plain WAV file up to 4 GB and becomes RF64 beyond, whose header can
    // describe any length.
    if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64) {
        sf_command(sound_, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    }
    return true;
}

bool AudioFileWriter::write(const int16_t* samples, int64_t frames) {
    if (!sound_) return false;
    if (frames <= 0) return true;
    if (sf_writef_short(sound_, samples, frames) != frames) {
        return fail(QStringLiteral("Schreibfehler (Datenträger voll?)"));
    }
    frames_ += frames;
    return true;
}

bool AudioFileWriter::commit() {
    if (!sound_) return false;
    const int closed = sf_close(sound_);
    sound_ = nullptr;
    const bool synced = ::fsync(fd_) == 0;
    const bool shut = ::close(fd_) == 0;
    fd_ = -1;
    if (closed != 0 || !synced || !shut)
        return fail(QStringLiteral("Schreibfehler (Datenträger voll?)"));
    // The hidden file was made private; the finished one gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(partPath_).constData(), 0666 & ~mask);
    if (std::rename(QFile::encodeName(partPath_).constData(),
                    QFile::encodeName(path_).constData()) != 0) {
        return fail(QStringLiteral("die fertige Datei lässt sich nicht umbenennen"));
    }
    partPath_.clear();
    return true;
}

void AudioFileWriter::discard() {
    if (sound_) sf_close(sound_);
    sound_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!partPath_.isEmpty()) QFile::remove(partPath_);
    partPath_.clear();
}
