#pragma once

#include <QString>

// A text file taken through "Aus Datei" holds whole lines up to the one that reaches this many
// characters.
constexpr int kTextFileLimit = 2000;

// Sends ExerciseText character by character, blanks as word gaps, breaking the display's lines
// between words; framed by the preamble and the statistics unless the exam text is running.
void SendOwnText();

// Sizes the display font (16 pt down to 8 pt, bold off) so that ExerciseText fits the display.
void FitTextFont();

// "Aus Datei": asks for a text file and makes its text the material of kind "T".
void MausDatei_Click();

enum class TextFileStatus { Ok, CannotOpen, NotText };

struct TextFile {
    TextFileStatus status = TextFileStatus::Ok;
    // Each line followed by one blank, as the trainer sends a file.
    QString text;
    // False when the input went on beyond the limit and the rest was left unread.
    bool complete = true;
};

class QIODevice;

// Reads text from an open device the way "Aus Datei" takes a file, up to `limit` characters.
// Reads only the part it needs, so a huge input costs no more than a short one.
TextFile ReadText(QIODevice& device, int limit);

// Reads a text file the way "Aus Datei" takes it: UTF-8 when the bytes read are valid UTF-8,
// Windows-1252 otherwise; line ends become blanks; reading stops after the line that brings the
// text to kTextFileLimit characters, and a single line is cut at kTextFileLimit characters. A
// file with NUL bytes is refused as not being text. Reads only the part it needs.
TextFile ReadTextFile(const QString& path);
