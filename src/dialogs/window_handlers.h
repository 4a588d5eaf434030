#pragma once

#include "platform/dialogs.h"

// Creates the dialog's form when it does not exist yet, shows it and has its window shown
// without blocking the main window.
void ShowForm(DialogId id);

// Handlers of the main window for the dialogs and the printer.
void Meigen_Click();
void METext_Click();
void MELekt_Click();
void MInfo_Click();
void Command3D4_Click();
void Command3D7_Click();
void DruConf_Click();
void L_Printer_Click();

// Assigns the handlers above, and those of continuous Morse, to the main window's controls.
void WireDialogHandlers();
// Discards every dialog form (tests start from a program without open dialogs).
void ResetDialogForms();
