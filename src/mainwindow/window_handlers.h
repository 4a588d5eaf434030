#pragma once

#include "platform/dialogs.h"

// Creates the dialog's form when it does not exist yet, shows it and has its window shown
// without blocking the main window.
void ShowForm(DialogId id);

// Handlers of the main window for the dialogs and the printer.
void Meigen_Click();        // menu "Eigene Zeichen"
void METext_Click();        // menu "Eigener Text"
void MELekt_Click();        // menu "Eigene Lektionen"
void Mdauermorsen_Click();  // menu "Dauermorsen"
void MInfo_Click();         // menu "Info"
void Command3D4_Click();    // "Ausdrucken": print the sent text
void Command3D7_Click();    // "Vorschub": form feed
void DruConf_Click();       // menu "Drucker": printer set-up
void L_Printer_Click();     // the printer's name, clicked

// Assigns the handlers above, and those of continuous Morse, to the main window's controls.
void WireDialogHandlers();
// Discards every dialog form (tests start from a program without open dialogs).
void ResetDialogForms();
