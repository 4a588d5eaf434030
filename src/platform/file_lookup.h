#pragma once

#include <QString>

// Maps a file name as the trainer writes it (".\Alfa\S1.wav", "alfa\s7.wav", "Abk.txt") onto the
// file system: backslashes become folders, a leading ".\" is dropped and every part is matched
// without regard to case. Looks in the working directory first, then in the installed data
// folder. Returns the path of an existing file, or an empty string.
QString FindDataFile(const QString& legacyName);

// The same lookup in one folder only.
QString FindFileIn(const QString& folder, const QString& legacyName);
