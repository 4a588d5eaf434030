#pragma once

#include <QString>

class QIODevice;

// Reads the text to be sent piece by piece, however long it is: UTF-8 while the bytes are valid
// UTF-8, Windows-1252 from the first piece that is not; line ends and tabs become blanks, which
// the trainer sends as word gaps. Input with NUL bytes, or in which more than 1 % of the
// characters read so far are control characters other than tab and line ends, is refused as
// not being text.
class TextStream {
public:
    // Reads from `device` (standard input or a file) until its end.
    explicit TextStream(QIODevice& device);
    // The text given on the command line.
    explicit TextStream(const QString& text);

    // The next piece of text; false at the end or on an error (then error() is set).
    bool next(QString& piece);
    QString error() const { return error_; }
    // How far the input has got, 0 to 1, or -1 when its length is unknown (a pipe).
    double progress() const;

private:
    QString normalise(QString text);
    // Counts the control characters of `text`; false (with error() set) past the share allowed.
    bool mostlyText(const QString& text);

    QIODevice* device_ = nullptr;
    QString text_;
    QByteArray pending_;  // bytes of a UTF-8 character cut at the end of the last read
    bool utf8_ = true;
    bool afterCr_ = false;
    qint64 total_ = -1, read_ = 0;
    qint64 characters_ = 0, controls_ = 0;
    QString error_;
};
