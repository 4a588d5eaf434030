#pragma once

// Sends abbreviations drawn from AbbrevList until the counted characters pass GroupCount * 5
// (kind "A"), or, inside the exam text, until 160 or 180 counted characters, with the chance of
// the station's name and QTH once each.
void SendAbbreviations();

// The exam text of about 180 characters: groups, word passages, call signs and abbreviations
// in the pattern of a short contact, framed by the preamble and the statistics.
void SendExamText();

// Draws a station from the name file into EntryCall, EntryName and EntryQth. Returns false
// (and empties them) when the name file is missing or holds no readable record.
bool PickRandomEntry();
