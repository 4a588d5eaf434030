#pragma once

class QMainWindow;

// Shows the speed also in WPM and BpM ("15,6 WPM · 78 BpM") just under the speed panel, and
// adds the same in words to the description of the speed's spin button; both follow every
// change of the speed. The speed itself stays in characters per minute, on the window and in
// the settings file. Call before the window's zoom is restored.
void AddSpeedUnits(QMainWindow& window);
