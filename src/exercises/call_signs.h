#pragma once

#include <QString>

// Sends GroupCount random call signs (prefix of two or three characters ending in a digit,
// suffix of two or three letters), framed by the preamble and the statistics unless the exam
// text is running. Ends early once the counted characters pass six per call sign wanted, or at a
// stop request.
void SendCallSigns();

// One call sign of the same shapes from `letters` and `digits` (each character a code of its
// own), drawn with the platform's random numbers; empty when either pool is empty.
QString DrawCallSign(const QString& letters, const QString& digits);
