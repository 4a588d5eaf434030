#pragma once

// The dot length (ms) at a speed in characters per minute: the trainer counts 77 dots to a
// character.
inline float DotMsAt(float cpm) { return 77.0f / cpm * 60.0f; }

// Derives DotMs, DashMs, GapUnitMs, BaseDotMs, CharGap (ms), WordGap (s) and EffectiveSpeed
// (cpm) from Speed, CharSpacing, WordSpacing and the dash-length slider LT, and shows the
// speeds on the window.
void ComputeTiming();

// Returns when at least `seconds` have passed, handling window events meanwhile. Zero or less
// returns at once without handling any event.
void WaitSeconds(float seconds);
