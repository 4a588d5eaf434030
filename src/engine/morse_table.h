#pragma once

#include <QByteArrayView>
#include <QString>

#include <span>

// One sign of the trainer: its character and its pattern of "." and "-".
struct MorseSign {
    char character;
    const char* pattern;
};

// The 48 signs the trainer knows, in the order of their characters.
std::span<const MorseSign> MorseSigns();

// Fills MorseTable with the 48 signs the trainer knows.
void BuildMorseTable();

// Index of a character in MorseTable: its Windows-1252 code in upper case minus 40, or -1 when
// it lies outside 0..50 (a blank, "!", letters with diacritics, anything above "Z").
int MorseIndex(QChar c);

// True when the trainer has a Morse sign for `c` (case does not matter).
bool HasMorseSign(QChar c);

// Encodes the character at `index` into ElementBuffer and ElementCount: 3 for a dot and 4 for a
// dash, each followed by 1 (a dot of silence), then 2 (the character gap) and 1.
void EncodeCharacter(int index);

// Windows-1252 code of a character (0..255); characters outside the code page give 256.
int Cp1252Code(QChar c);
// The character with Windows-1252 code `code`.
QChar FromCp1252(int code);
// Bytes in Windows-1252 as text, one character per byte.
QString TextFromCp1252(QByteArrayView bytes);
