#pragma once

class QMainWindow;

// Puts the stored band conditions into effect on the sound output and adds "Bandbedingungen
// ..." under "Konfiguration ...", which opens their dialog; its changes are heard at once and
// remembered for the next start.
void AddBandEntries(QMainWindow& window);
