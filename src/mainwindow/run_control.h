#pragma once

// Start, pause, stop, exit and clear of the main window, and the run clock.
void Comstart_Click();  // picture button: start
void compause_Click();  // picture button: pause / continue
void comstop_Click();   // picture button: stop
void comexit_Click();   // picture button: leave the program
void comloe_Click();    // "Löschen": clear the display
void Timer2_Timer();    // the seconds of a run in "Minuten"
// The test-preamble button: the preamble alone, only while nothing else sounds.
void COM_vvv_Click();
// Greys the test-preamble button while a run, a preamble, the drill or a reading is active.
void ShowTestPreambleState();
