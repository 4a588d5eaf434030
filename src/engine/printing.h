#pragma once

#include <QString>

// Printing on the system printer; the print job stays open across printouts. When the printer
// cannot take a job the user gets a German message and the printout is dropped.

// Prints `text` (the own-text dialog's box) in Courier New 12 bold.
void PrintText(const QString& text);
// Prints SentText in the printer's current font.
void PrintSentText();
// The closing lines of continuous Morse, then the end of the print job.
void PrintClosingLines();
// A closing rule, then the end of the print job, so the page comes out.
void PrintFormFeed();
// L_Printer shows the name of the printer the next job goes to; without a printer it keeps
// its caption.
void ShowPrinterName();
