#pragma once

// Abk.txt holds at most this many entries; AbbrevList has room for them from index 1.
constexpr int kMaxAbbreviations = 290;

// Reads Abk.txt into AbbrevList (from index 1, each line unscrambled with DecodeText) and sets
// AbbrevCount. A missing file leaves the list empty; lines beyond the 290th are left out.
void ReadAbbreviations();
