#pragma once

#include <QString>

// Start value of the running shift that scrambles MORSE.NAM, LEXIKON and Abk.txt.
constexpr int kDecodeShiftStart = 7;

// Sets the character sets, the default material and kind, the default settings and their
// labels, and opens the name file.
void InitCharacterSets();

// Unscrambles one line or record of the data files in place.
void DecodeText(QString& text);
// The inverse, for the tools that make the data files.
void EncodeText(QString& text);
