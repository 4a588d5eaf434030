#include "engine/speed_units.h"

#include <QLocale>
#include <cmath>

#include "engine/timing.h"

namespace {
// PARIS with its word gap lasts 50 dots; a minute holds 60000 ms.
constexpr double kParisDotsMs = 60000.0 / 50.0;
}  // namespace

double WpmAtCpm(double cpm) {
    if (!(cpm > 0)) return 0;
    return kParisDotsMs / DotMsAt(static_cast<float>(cpm));
}

double BpmAtCpm(double cpm) { return 5.0 * WpmAtCpm(cpm); }

double CpmAtWpm(double wpm) {
    if (!(wpm > 0)) return 0;
    // DotMsAt is 4620 / cpm; solving 1200 / dot = wpm for cpm.
    return DotMsAt(1.0f) * wpm / kParisDotsMs;
}

QString SpeedUnitsText(double cpm) {
    const QLocale locale;
    return QStringLiteral("%1 WPM · %2 BpM")
        .arg(locale.toString(WpmAtCpm(cpm), 'f', 1))
        .arg(std::lround(BpmAtCpm(cpm)));
}

QString SpeedUnitsWords(double cpm) {
    const QLocale locale;
    return QStringLiteral("entspricht %1 Wörtern pro Minute, %2 BpM")
        .arg(locale.toString(WpmAtCpm(cpm), 'f', 1))
        .arg(std::lround(BpmAtCpm(cpm)));
}
