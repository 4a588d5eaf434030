#pragma once

#include <QByteArray>
#include <QString>

// A word list has a few thousand records of 38 bytes; only this many are ever drawn from.
constexpr int kMaxWordRecords = 100000;

// The English or German word of one stored (scrambled) record of the word list, trailing blanks
// removed; empty for a record without "@".
QString WordFromRecord(const QByteArray& bytes, bool english);

// Builds a text of GroupCount words drawn from the word list LEXIKON (English or German as the
// window's option buttons choose) and sends it with SendOwnText. In the exam text it steers the
// passage toward 118 to 122 counted characters. Returns false when the word list gave no word
// at all (missing, empty or unreadable); the user has then been told on the display.
bool SendWords();

// One word of the word list drawn at random (English or German as the window's option buttons
// choose); empty when the list gives none.
QString DrawWord();
