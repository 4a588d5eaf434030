#pragma once

#include <QString>
#include <QStringList>

#include "options.h"
#include "platform/virtual_clock.h"
#include "sound/files/audio_file_writer.h"
#include "sound/offline_output.h"
#include "sound/tonwerk.h"

// Sends a text into audio files exactly as the trainer sounds it (same element codes, timing,
// tone control and synthesis), on a virtual clock. The text comes in pieces and the sound is
// written after every character, so memory stays flat however long the text is.
class MorseExport {
public:
    enum class Status { Ok, WriteError, NothingToSend };

    explicit MorseExport(const Options& options);

    // Opens the first file; fails before any text is read when the name, the rate or the folder
    // does not allow it.
    Status begin();
    // Sends one piece of text and writes what it sounded.
    Status send(const QString& piece);
    // Writes the rest and gives the last file its name.
    Status finish();

    // A German message for the last failure.
    QString error() const { return error_; }
    // Characters of the text without a Morse sign, each named once; they stay silent.
    QString skipped() const { return skipped_; }
    // Seconds of sound written so far.
    double seconds() const;

private:
    Status sendCharacter(QChar c);
    Status flush();
    Status openFile();
    Status writeError();
    QString fileName(int number) const;

    Options options_;
    VirtualClock clock_;
    OfflineOutput output_;
    Tonwerk tonwerk_;
    AudioFileWriter writer_;
    int fileNumber_ = 0;
    int64_t framesBefore_ = 0;  // frames in the files already finished
    int pendingBlanks_ = 0;     // word gaps waiting for the next character
    bool started_ = false;      // a character was sent: blanks before it are dropped
    bool sendable_ = false;     // at least one character had a sign
    QString skipped_;
    QString error_;
};
