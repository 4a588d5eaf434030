#pragma once

#include <QLocale>
#include <QString>

// Number texts as the window shows them, in the user's locale (a decimal comma on a German
// system); the settings file has its own, locale-free writer.

// Formats with a pattern of the kind "###", "###.0", "#0.0", "0.0", "00.0", "#0", "#0.0  ",
// " ##0.0 " or "  ### ": "#" is a digit shown only when significant, "0" a digit always shown,
// "." the locale's decimal separator, and anything else (blanks) literal. The value is rounded
// to the digits shown.
QString FormatNumber(double value, const QString& pattern, const QLocale& locale = QLocale());

// The shortest decimal text of a single-precision number (at most 7 significant digits, no
// trailing zeros): 60, 62,5, 0,1.
QString ShortestText(float value, const QLocale& locale = QLocale());

// Rounds to the nearest integer with halves to the even neighbour.
long long RoundHalfEven(double value);
