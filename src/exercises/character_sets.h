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

// The name file holds 1608 records of 22 bytes (35 KB); a far larger file is not one.
constexpr qint64 kMaxNameFileBytes = 1024 * 1024;
// Why the name file is not open although it exists (German); empty otherwise.
QString NameFileProblem();

struct NameEntry {
    QString call;
    QString name;
    QString qth;  // without trailing blanks
};
// Unscrambles a stored name record and splits it at its two "*"; false without them.
bool ParseNameRecord(QString record, NameEntry& entry);
