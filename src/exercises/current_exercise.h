#pragma once

// Calls the generator of the current exercise kind, which sends the whole run: preamble, text
// and closing sign. The start button and the exercise export both begin a run here.
void SendCurrentExercise();
