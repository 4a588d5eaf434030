#pragma once

#include <QString>

// What the learner keys in "Vorlage" and "Nachgeben", drawn from the trainer's own generators
// for the kind chosen in the main window: a word of the word list ("F"), a call sign ("R"), an
// abbreviation ("A"), otherwise a group of five characters of the chosen set or lesson. Blanks
// part the items; empty when the material gives nothing.
QString DrawPracticeText(int items);
