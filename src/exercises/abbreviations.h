#pragma once

#include <QIODevice>
#include <QStringList>

// Abk.txt holds at most this many entries; AbbrevList has room for them from index 1.
constexpr int kMaxAbbreviations = 290;
// The real list is about 2 KB; reading never goes further than this.
constexpr qint64 kMaxAbbreviationFileBytes = 64 * 1024;

struct AbbreviationFile {
    QStringList entries;  // unscrambled, without line ends
    QString problem;      // German message when the file passed a limit; empty otherwise
};
// Reads the lines of an abbreviations file from an open device: at most
// kMaxAbbreviationFileBytes + 1 bytes and kMaxAbbreviations lines, each cut at 1000 bytes.
AbbreviationFile ReadAbbreviationsFrom(QIODevice& device);

// Reads Abk.txt into AbbrevList (from index 1, each line unscrambled with DecodeText) and sets
// AbbrevCount. A missing file leaves the list empty; lines beyond the 290th are left out and
// the user is told.
void ReadAbbreviations();
