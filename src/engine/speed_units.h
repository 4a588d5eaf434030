#pragma once

#include <QString>

// The trainer's speed in the units operators use, derived from its own dot length: words per
// minute by the word PARIS (50 dots, so WPM = 1200 / dot ms) and BpM (Buchstaben pro Minute,
// 5 x WPM), the count German contests and clubs use.
double WpmAtCpm(double cpm);
double BpmAtCpm(double cpm);
// The speed in characters per minute whose dot gives `wpm` words per minute.
double CpmAtWpm(double wpm);

// "15,6 WPM · 78 BpM": one decimal for WPM, whole BpM, in the user's locale.
QString SpeedUnitsText(double cpm);
// The same for a screen reader: "entspricht 15,6 Wörtern pro Minute, 78 BpM".
QString SpeedUnitsWords(double cpm);
