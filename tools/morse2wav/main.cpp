// morse2wav: writes a text as Morse code into an audio file, sounding exactly as the trainer does.

#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <iostream>

#include "morse_export.h"
#include "options.h"
#include "text_stream.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kWriteError = 1;

int Fail(int code, const QString& message) {
    // On a terminal the message replaces a progress line; into a file or pipe it stays plain.
    if (isatty(STDERR_FILENO) == 1) std::cerr << "\r\033[K";
    std::cerr << "morse2wav: " << Visible(message).toStdString() << "\n";
    if (code == kUsageError) std::cerr << "Hilfe: morse2wav --help\n";
    return code;
}

// The progress line on a terminal: percentage of the input read and the time still needed.
class Progress {
public:
    Progress() : shown_(isatty(STDERR_FILENO) == 1) { clock_.start(); }

    void show(double fraction, double seconds) {
        if (!shown_ || clock_.elapsed() < last_ + 250) return;
        last_ = clock_.elapsed();
        if (fraction <= 0) {
            std::fprintf(stderr, "\r%.0f s Morsezeichen geschrieben\033[K", seconds);
        } else {
            const double left = clock_.elapsed() / 1000.0 * (1 - fraction) / fraction;
            std::fprintf(stderr, "\r%3.0f %% – noch etwa %d:%02d min\033[K", fraction * 100,
                         static_cast<int>(left) / 60, static_cast<int>(left) % 60);
        }
        std::fflush(stderr);
    }
    void clear() {
        if (shown_) std::fprintf(stderr, "\r\033[K");
    }

private:
    bool shown_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
};

int Export(const Options& options, TextStream& text) {
    MorseExport morse(options);
    auto failed = [&](MorseExport::Status status) {
        return Fail(status == MorseExport::Status::NothingToSend ? kUsageError : kWriteError,
                    morse.error());
    };
    if (auto status = morse.begin(); status != MorseExport::Status::Ok) return failed(status);
    Progress progress;
    QString piece;
    while (text.next(piece)) {
        if (auto status = morse.send(piece); status != MorseExport::Status::Ok) {
            return failed(status);
        }
        progress.show(text.progress(), morse.seconds());
    }
    progress.clear();
    if (!text.error().isEmpty()) return Fail(kUsageError, text.error());
    if (auto status = morse.finish(); status != MorseExport::Status::Ok) return failed(status);
    if (!morse.skipped().isEmpty()) {
        std::cerr << "morse2wav: ohne Morsezeichen und daher stumm: "
                  << Excerpt(morse.skipped()).toStdString() << "\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    Options options;
    if (const QString error = ParseArguments(args, options); !error.isEmpty()) {
        return Fail(kUsageError, error);
    }
    if (options.help) {
        std::cout << HelpText() << "\n" << BandHelpText();
        return 0;
    }
    if (!options.words.isEmpty()) {
        TextStream text(options.words.join(u' '));
        return Export(options, text);
    }
    QFile input;
    if (!input.open(STDIN_FILENO, QIODevice::ReadOnly)) {
        return Fail(kUsageError, QStringLiteral("die Standardeingabe lässt sich nicht lesen"));
    }
    TextStream text(input);
    return Export(options, text);
}
