#pragma once

// Sends CurrentChar: applies the training effects, shows it, sounds it, waits the spacing,
// records it in SentText, advances the progress bar and speaks it. A blank is the word gap.
void SendCharacter();
