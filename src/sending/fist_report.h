#pragma once

#include <QString>
#include <vector>

#include "sending/fist_decoder.h"
#include "sending/keyed_elements.h"

// One class of marks or gaps, measured against its ideal at the learner's tracked speed.
struct TimingClass {
    int count = 0;
    double meanPercent = 0;    // mean length [% of the ideal]
    double spreadPercent = 0;  // RMS deviation from the class's own mean [% of the ideal]
};

// A character whose timing departs most, with the part that departs.
struct TimingFault {
    int sign = -1;         // index into the decoded signs
    double departure = 0;  // share by which that part is off its ideal (+0.5: half again as long)
    QString words;         // "B: dritter Punkt zu lang", "Zeichenabstand nach K zu lang"
};

// A bar of the picture [ms], from the start of its character.
struct TimingBar {
    double startMs = 0;
    double lengthMs = 0;
};

// One character in the picture: its marks as keyed, and the same character at ideal timing at
// the learner's speed.
struct TimingRow {
    QString text;
    double atMs = 0;  // where the character began, from the attempt's first mark
    std::vector<TimingBar> keyed;
    std::vector<TimingBar> ideal;
};

// The timing report of one attempt (or of a whole practice, its attempts one after another).
struct FistReport {
    int characters = 0;
    // Speed from the tracked dot: mean, at the first and the last character, lowest, highest.
    double cpm = 0;
    double wpm = 0;
    double startCpm = 0;
    double endCpm = 0;
    double lowestCpm = 0;
    double highestCpm = 0;
    double dashRatio = 0;            // the learner's dash [dots]
    double idealDashRatio = 0;       // the trainer's dash length setting [dots]
    TimingClass dots;                // ideal: one dot
    TimingClass dashes;              // ideal: the trainer's dash length
    TimingClass elementGaps;         // ideal: one dot
    TimingClass characterGaps;       // ideal: three dots
    TimingClass wordGaps;            // ideal: seven dots
    int regularity = 0;              // 0..100: 100 when every class keeps its own length exactly
    std::vector<TimingFault> worst;  // at most three, worst first
    std::vector<TimingRow> picture;
};

// Parts off their ideal by less than this share are not named as faults.
inline constexpr double kFaultShare = 0.15;

// Measures what `signs` were read from `elements` (as FistDecoder delivers both) against the
// ideal timing with a dash of `idealDashRatio` dots (the trainer's dash length setting / 10).
FistReport AnalyseFist(const std::vector<KeyedElement>& elements,
                       const std::vector<DecodedSign>& signs, double idealDashRatio);
