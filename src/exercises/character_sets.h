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

// Reads record `number` (1-based, 22 characters, still scrambled) of the open name file.
// False when the file is not open or has no such record.
bool ReadNameRecord(int number, QString& record);
