#pragma once

// Sets the display font size from GroupCount.
void SetDisplayFontSize();
// Positions the text, sends the preamble (v v v * in red at normal spacing) and starts the run
// clock.
void SendPreamble();
// Ends a run: elapsed time, measured speed, the closing "+", restored settings and buttons,
// printing and the next run of continuous Morse.
void ShowStatistics();
