#pragma once

// Tells the user on the display that the chosen exercise has no characters to send and puts
// the run buttons back to idle.
void ReportEmptyPool();
