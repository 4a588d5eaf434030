#pragma once

#include <QString>

// What the colour of the text now printed on the display means, for readers who cannot see
// colours ("nicht erkannt"); empty where the colour is decoration only. Whoever colours text
// with a meaning sets it around the printing; the window's display keeps it with each piece.
QString& DisplayMeaning();
