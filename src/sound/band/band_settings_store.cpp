#include "sound/band/band_settings_store.h"

#include "platform/user_settings.h"

namespace {
const QString kGroup = QStringLiteral("Bandbedingungen");

// Every stored value under its key; loading and saving go through the same lists.
struct Switch {
    const char* key;
    bool BandSettings::*member;
};
struct Number {
    const char* key;
    int BandSettings::*member;
};
constexpr Switch kSwitches[] = {
    {"enabled", &BandSettings::enabled}, {"noise", &BandSettings::noiseOn},
    {"qsb", &BandSettings::qsbOn},       {"qrm", &BandSettings::qrmOn},
    {"qrn", &BandSettings::qrnOn},
};
constexpr Number kNumbers[] = {
    {"snrDb", &BandSettings::snrDb},
    {"filterHz", &BandSettings::filterHz},
    {"qsbDepthDb", &BandSettings::qsbDepthDb},
    {"qsbPeriodS", &BandSettings::qsbPeriodS},
    {"qrmOffsetHz", &BandSettings::qrmOffsetHz},
    {"qrmLevelDb", &BandSettings::qrmLevelDb},
    {"qrnPerMinute", &BandSettings::qrnPerMinute},
    {"qrnLevelDb", &BandSettings::qrnLevelDb},
};
}  // namespace

BandSettings LoadBandSettings() {
    const auto store = OpenUserSettings();
    store->beginGroup(kGroup);
    BandSettings s;
    for (const Switch& entry : kSwitches) {
        const QString text = store->value(QLatin1String(entry.key)).toString();
        if (text == QLatin1String("true")) s.*entry.member = true;
        if (text == QLatin1String("false")) s.*entry.member = false;
    }
    for (const Number& entry : kNumbers) {
        bool ok = false;
        const int read = store->value(QLatin1String(entry.key)).toInt(&ok);
        if (ok) s.*entry.member = read;
    }
    return Bounded(s);
}

void SaveBandSettings(const BandSettings& settings) {
    const BandSettings s = Bounded(settings);
    const auto store = OpenUserSettings();
    store->beginGroup(kGroup);
    for (const Switch& entry : kSwitches) store->setValue(QLatin1String(entry.key), s.*entry.member);
    for (const Number& entry : kNumbers) store->setValue(QLatin1String(entry.key), s.*entry.member);
}
