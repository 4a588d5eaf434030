#pragma once

// Keyboard mode ("Schreibmaschine"): every key typed in the window is written on the display
// and sounded as Morse, in the order typed. Runs inside the click of Com_Tastatur until
// listening mode ends it.
void Com_Tastatur_Click();

// The window's key preview: in keyboard mode it takes every key (the code becomes 0), writes it
// and queues it for sounding, except Esc, which leaves keyboard mode like "Hören"; otherwise the
// key goes on to the focused control.
void Form_KeyPress(int& keyCode);

// Listening mode ("Hören"): ends keyboard mode and a running question-and-answer drill, shows
// "HÖREN" for a second and allows runs again.
void C_Hoeren_Click();

// Ends keyboard mode at the loop's next turn and drops the keys not yet sounded.
void LeaveKeyboardMode();

// Reads the text of the last run aloud from ReadPosition; the stop button interrupts it and the
// next reading continues with the first character not yet spoken.
void com_vorlesen_Click();

// "v vorne": reads aloud from the first character.
void Command2_Click();
