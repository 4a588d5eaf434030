#pragma once

// The display's two resets, shared by the start and clear buttons, the drills and own text.

// Empties the display and puts the print position at its top left; the sent-character count
// starts again.
void ClearDisplay();
// Back from a reading or a drill to the display of an ordinary run: grey, Arial, no answer box.
void RestoreNormalDisplay();
