#pragma once

#include "sound/band/band_settings.h"

// The band conditions between starts, in the user settings (never in MORSE.CST). What is read
// back is brought into range; a value that is missing or no number keeps its default.
BandSettings LoadBandSettings();
void SaveBandSettings(const BandSettings& settings);
