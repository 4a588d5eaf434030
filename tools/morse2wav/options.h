#pragma once

#include <QString>
#include <QStringList>

#include "band_options.h"

// What morse2wav's command line asks for.
struct Options {
    int cpm = 60;
    double pitchHz = 800;
    int dashTenths = 30;
    double charSpacing = 1.0;
    double wordSpacing = 1.0;
    int rateHz = 48000;
    int splitMinutes = 0;  // 0 = one file
    QString outputPath;
    QStringList words;
    bool help = false;
    BandSettings band = CleanBand();
};

// The help text printed for --help.
const char* HelpText();

// `text` with its control characters written as escapes (ESC as \x1B).
QString Visible(const QString& text);

// At most 40 characters of `text`, so that a message stays short whatever it quotes, with
// control characters written as escapes.
QString Excerpt(const QString& text);

// Parses the command line (without the program name) into `options`; a German message, or an
// empty string when everything fits together.
QString ParseArguments(const QStringList& args, Options& options);
