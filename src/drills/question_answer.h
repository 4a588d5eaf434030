#pragma once

// The question-and-answer drill ("Frage + Antwort"): sounds one character of the exercise pool
// at a time, judges the key the user types into Text2 and ends with Enter, showing how many
// answers were right and how fast they came. Runs inside the click of COM_FA for as long as the
// button stays pressed; "Hören" releases it.
void COM_FA_Click();

// Key handler of the answer box: while the drill runs, Enter is followed by a typed "*".
void Text2_KeyPress(int& keyCode);
