#pragma once

#include <QString>

#include "sound/band/band_settings.h"

// The band conditions on morse2wav's command line. --snr, --qsb-depth, --qrm-offset,
// --qrm-level and --qrn switch their part on; without them the file is as clean as ever.

// The lines of the help text that describe them.
const char* BandHelpText();

// True when `name` (e.g. "--snr") is one of them.
bool IsBandOption(const QString& name);

// Takes the value of one of them into `band`; a German message when it is not allowed, or an
// empty string.
QString ParseBandOption(const QString& name, const QString& value, BandSettings& band);

// The settings morse2wav starts from: switched off, every part off, seed 1.
BandSettings CleanBand();
