#include "sound/band/band_settings.h"

#include <algorithm>
#include <cstdlib>

using namespace band_limits;

BandSettings Bounded(BandSettings s) {
    s.snrDb = std::clamp(s.snrDb, kSnrMinDb, kSnrMaxDb);
    int nearest = kFiltersHz[0];
    for (int f : kFiltersHz) {
        if (std::abs(f - s.filterHz) < std::abs(nearest - s.filterHz)) nearest = f;
    }
    s.filterHz = nearest;
    s.qsbDepthDb = std::clamp(s.qsbDepthDb, 0, kQsbDepthMaxDb);
    s.qsbPeriodS = std::clamp(s.qsbPeriodS, kQsbPeriodMinS, kQsbPeriodMaxS);
    s.qrmOffsetHz = std::clamp(s.qrmOffsetHz, kQrmOffsetMinHz, kQrmOffsetMaxHz);
    s.qrmLevelDb = std::clamp(s.qrmLevelDb, kQrmLevelMinDb, kQrmLevelMaxDb);
    s.qrnPerMinute = std::clamp(s.qrnPerMinute, 0, kQrnMaxPerMinute);
    s.qrnLevelDb = std::clamp(s.qrnLevelDb, kQrnLevelMinDb, kQrnLevelMaxDb);
    return s;
}

BandSettings ApplyPreset(BandPreset preset, const BandSettings& current) {
    BandSettings s;
    s.seed = current.seed;
    switch (preset) {
        case BandPreset::Quiet:
            s = {true, true, 20, 500, true, 4, 15, false, 300, -10, false, 2, -12, s.seed};
            break;
        case BandPreset::Normal:
            s = {true, true, 8, 500, true, 12, 10, true, 400, -8, true, 6, -6, s.seed};
            break;
        case BandPreset::Contest:
            s = {true, true, 3, 500, true, 8, 6, true, 150, 0, true, 10, -3, s.seed};
            break;
        case BandPreset::Off:
            s = current;
            s.enabled = false;
            break;
    }
    return s;
}

QString FilterFitProblem(double pitchHz, int filterHz, int sampleRate) {
    const double highest = kHighestFilterShare * sampleRate;
    if (pitchHz + filterHz / 2.0 <= highest) return {};
    return QStringLiteral(
               "das Empfängerfilter (%1 Hz breit um %2 Hz) reicht über %3 Hz hinaus, das "
               "0,45-Fache der Abtastrate; eine tiefere Tonhöhe, ein schmaleres Filter oder eine "
               "höhere Abtastrate wählen")
        .arg(filterHz)
        .arg(pitchHz)
        .arg(highest);
}
