#pragma once

// Assigns the handlers of the drills, keyboard mode, listening mode and read-aloud.
void WireDrills();
