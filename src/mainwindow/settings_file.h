#pragma once

#include <QString>

#include "mainwindow/settings_format.h"

// The settings file MORSE.CST in the working directory.

// "Save": writes the current settings. The old file is replaced only by a complete new one;
// a save that cannot write keeps the old file and tells the user.
void Comsave_cst_Click();
// "Load", also run once at start-up: reads the file and applies it to the settings, the labels
// and the switches. A missing or malformed file keeps the fields read before the fault and
// changes nothing else.
void comload_cst_Click();

// OptionFlags from the five effect check boxes: 1 "5%", 2 "10%", 4 "Tonschwankung",
// 8 "unsauber", 16 "langsam verkleinern".
void PackOptionFlags();
// Ticks the boxes whose bits are set in OptionFlags (never unticks one), consuming the number.
void UnpackOptionFlags();

// The settings as the file would store them now.
SettingsValues CurrentSettings();

// Where the file is read and written: MORSE.CST in the working directory, in whatever case an
// existing file spells it.
QString SettingsFilePath();

// A settings line is a few dozen bytes; reading stops here whatever the file holds.
constexpr qint64 kSettingsReadLimit = 4096;
