#pragma once

#include <QString>

// Plays the named sound file (".wav" is appended) and returns when it has finished; a missing
// file is silent and returns at once.
void PlayWave(const QString& name);

// Speaks CurrentChar from the sound folder after a short lead-in (none while reading aloud).
void SpeakCharacter();

// The file name (without folder and extension) under which a character is spoken.
QString SpokenName(QChar c);
