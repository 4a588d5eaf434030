#pragma once

// Start-up of the main window, in the order the trainer has always used.
void Form_Initialize();
void Form_Load();
// Runs at start and whenever the user comes back to the main window from one of the
// program's own dialogs.
void Form_Activate();
void Timer_Uhrzeit_Timer();
