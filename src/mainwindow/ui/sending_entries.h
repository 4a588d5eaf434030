#pragma once

class QMainWindow;

// Adds the menu "Geben" with "Geben üben ..." (Strg+G), which opens the sending window with the
// real key inputs, the sound card's sidetone and the trainer's speed, dash length and pitch.
void AddSendingEntries(QMainWindow& window);
