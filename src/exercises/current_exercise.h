#pragma once

// What the start button sets up before every run, and the exercise export before its
// recording: the display font, the step of "langsam verkleinern", the run's counters, the
// wandering pitch back at its start, the timing and a fresh random sequence.
void PrepareRun();

// Calls the generator of the current exercise kind, which sends the whole run: preamble, text
// and closing sign. The start button and the exercise export both begin a run here.
void SendCurrentExercise();
