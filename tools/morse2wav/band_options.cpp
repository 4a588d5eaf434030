#include "band_options.h"

#include <QStringList>
#include <algorithm>

#include "option_value.h"

using namespace band_limits;

const char* BandHelpText() {
    return "Bandbedingungen (jede Option schaltet ihren Teil ein):\n"
           "  --snr DB            Rauschen, Signal-Rausch-Abstand in 500 Hz um den Ton\n"
           "                      (-10 bis 30 dB)\n"
           "  --filter HZ         Empfängerfilter: 250, 500, 1000 oder 2400 Hz (Vorgabe 500)\n"
           "  --qsb-depth DB      Schwund, Tiefe (0 bis 30 dB)\n"
           "  --qsb-period S      Schwund, typische Periode (2 bis 30 s, Vorgabe 10)\n"
           "  --qrm-offset HZ     Störsender, Ablage vom Ton (50 bis 800 Hz, Vorgabe 300)\n"
           "  --qrm-level DB      Störsender, Pegel zum Signal (-20 bis 6 dB, Vorgabe -6)\n"
           "  --qrn N             Knackstörungen je Minute (0 bis 60)\n"
           "  --seed N            Startwert des Zufalls (0 bis 4294967295, Vorgabe 1);\n"
           "                      derselbe Wert ergibt dieselbe Datei\n";
}

bool IsBandOption(const QString& name) {
    static const QStringList names = {
        QStringLiteral("--snr"),        QStringLiteral("--filter"),
        QStringLiteral("--qsb-depth"),  QStringLiteral("--qsb-period"),
        QStringLiteral("--qrm-offset"), QStringLiteral("--qrm-level"),
        QStringLiteral("--qrn"),        QStringLiteral("--seed")};
    return names.contains(name);
}

BandSettings CleanBand() {
    BandSettings band;
    band.noiseOn = false;
    return band;
}

QString ParseBandOption(const QString& name, const QString& value, BandSettings& band) {
    const OptionValue v(name, value);
    const auto in = [&](double low, double high) { return v.wholeIn(low, high); };
    const auto bad = [&](const QString& allowed) { return v.refuse(allowed); };
    const bool whole = v.wholeIn(-1e10, 1e10);
    const int n = whole ? static_cast<int>(*v.number()) : 0;
    if (name == QStringLiteral("--snr")) {
        if (!in(kSnrMinDb, kSnrMaxDb)) return bad(QStringLiteral("eine ganze Zahl von -10 bis 30"));
        band.enabled = band.noiseOn = true;
        band.snrDb = n;
    } else if (name == QStringLiteral("--filter")) {
        if (!whole || !std::count(std::begin(kFiltersHz), std::end(kFiltersHz), n)) {
            return bad(QStringLiteral("250, 500, 1000 oder 2400"));
        }
        band.filterHz = n;
    } else if (name == QStringLiteral("--qsb-depth")) {
        if (!in(0, kQsbDepthMaxDb)) return bad(QStringLiteral("eine ganze Zahl von 0 bis 30"));
        band.enabled = band.qsbOn = true;
        band.qsbDepthDb = n;
    } else if (name == QStringLiteral("--qsb-period")) {
        if (!in(kQsbPeriodMinS, kQsbPeriodMaxS)) {
            return bad(QStringLiteral("eine ganze Zahl von 2 bis 30"));
        }
        band.qsbPeriodS = n;
    } else if (name == QStringLiteral("--qrm-offset")) {
        if (!in(kQrmOffsetMinHz, kQrmOffsetMaxHz)) {
            return bad(QStringLiteral("eine ganze Zahl von 50 bis 800"));
        }
        band.enabled = band.qrmOn = true;
        band.qrmOffsetHz = n;
    } else if (name == QStringLiteral("--qrm-level")) {
        if (!in(kQrmLevelMinDb, kQrmLevelMaxDb)) {
            return bad(QStringLiteral("eine ganze Zahl von -20 bis 6"));
        }
        band.enabled = band.qrmOn = true;
        band.qrmLevelDb = n;
    } else if (name == QStringLiteral("--qrn")) {
        if (!in(0, kQrnMaxPerMinute)) return bad(QStringLiteral("eine ganze Zahl von 0 bis 60"));
        band.qrnOn = n > 0;
        band.enabled = band.enabled || band.qrnOn;
        band.qrnPerMinute = n;
    } else if (name == QStringLiteral("--seed")) {
        if (!in(0, 4294967295.0))
            return bad(QStringLiteral("eine ganze Zahl von 0 bis 4294967295"));
        band.seed = static_cast<uint32_t>(*v.number());
    }
    return {};
}
