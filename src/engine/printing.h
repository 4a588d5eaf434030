#pragma once

// Printing on the system printer; the print job stays open across printouts.
// Prints the text of the own-text dialog's box in Courier New 12 bold.
void PrintText();
// Prints SentText in the printer's current font.
void PrintSentText();
// The closing lines of continuous Morse, then the end of the print job.
void PrintClosingLines();
