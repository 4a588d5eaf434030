#pragma once

// Derives DotMs, DashMs, GapUnitMs, BaseDotMs, CharGap (ms), WordGap (s) and EffectiveSpeed
// (cpm) from Speed, CharSpacing, WordSpacing and the dash-length slider LT, and shows the
// speeds on the window.
void ComputeTiming();

// Returns when at least `seconds` have passed, handling window events meanwhile. Zero or less
// returns at once without handling any event.
void WaitSeconds(float seconds);
