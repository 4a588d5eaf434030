#pragma once

#include <QString>

// Defines the tone generator's four sounds from DotMs, CharGap, DashMs and TonePitch.
void DefineSounds();

// Sounds the first character of `text` and returns when it has sounded; characters without an
// index in the Morse table play nothing and are not counted.
void PlayCharacter(const QString& text);
