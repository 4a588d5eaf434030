#pragma once

#include <QString>
#include <cstdint>

struct sf_private_tag;

// Writes mono 16-bit sound into a file whose format follows its name: .wav (as RF64 once it
// passes 4 GB), .flac, .ogg (Vorbis), .opus or .mp3. The samples go into a hidden file beside the
// final one, which takes the final name only in commit(); a writer closed or destroyed before
// that removes it, so a file under its final name is always whole.
class AudioFileWriter {
public:
    AudioFileWriter() = default;
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;
    ~AudioFileWriter();

    // The names accepted, for messages and file dialogs: "wav", "flac", "ogg", "opus", "mp3".
    static const QStringList& Suffixes();
    // Empty when the name's format is known, otherwise a German message why not.
    static QString CheckName(const QString& path);

    // Opens the file beside `path`; false with error() set when the format, the rate or the
    // folder does not allow it. Nothing exists under `path` until commit().
    bool open(const QString& path, int rateHz);
    bool write(const int16_t* samples, int64_t frames);
    // Finishes the file and gives it its final name, replacing an older file of that name.
    bool commit();
    // Removes the unfinished file.
    void discard();

    QString error() const { return error_; }
    int64_t framesWritten() const { return frames_; }

private:
    bool fail(const QString& message);

    sf_private_tag* sound_ = nullptr;
    int fd_ = -1;
    QString path_, partPath_, error_;
    int64_t frames_ = 0;
};
