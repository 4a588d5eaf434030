#pragma once

#include <QString>
#include <QStringList>

#include "sending/fist_report.h"

// The timing report in words, a sentence each: speed and its drift, the dash, the gaps in
// % of their ideal with their spread, the regularity and the three worst characters.
QStringList ReportSentences(const FistReport& report);

// One character of the picture as the table beside it says it: the keyed marks and the ideal
// ones [ms], "60 – 180 – 58".
QString BarLengths(const std::vector<TimingBar>& bars);
