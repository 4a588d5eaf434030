#pragma once

#include <QString>

// Messages about the trainer's data files (word list, name file, abbreviations), shown on the
// display where the user would otherwise wonder why a run looks the way it does.

// Prints `text` on a line of its own in the display area and goes on with the run.
void ShowDataMessage(const QString& text);

// A run that has nothing to send: clears the display, shows `text` and puts the run buttons
// back to idle.
void EndRunWithMessage(const QString& text);
