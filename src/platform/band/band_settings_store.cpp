#include "platform/band/band_settings_store.h"

#include "platform/user_settings.h"

namespace {
const QString kGroup = QStringLiteral("Bandbedingungen");

void Read(QSettings& store, const char* key, int& value) {
    bool ok = false;
    const int read = store.value(QLatin1String(key)).toInt(&ok);
    if (ok) value = read;
}

void Read(QSettings& store, const char* key, bool& value) {
    const QString text = store.value(QLatin1String(key)).toString();
    if (text == QLatin1String("true")) value = true;
    if (text == QLatin1String("false")) value = false;
}
}  // namespace

BandSettings LoadBandSettings() {
    const auto store = OpenUserSettings();
    store->beginGroup(kGroup);
    BandSettings s;
    Read(*store, "enabled", s.enabled);
    Read(*store, "noise", s.noiseOn);
    Read(*store, "snrDb", s.snrDb);
    Read(*store, "filterHz", s.filterHz);
    Read(*store, "qsb", s.qsbOn);
    Read(*store, "qsbDepthDb", s.qsbDepthDb);
    Read(*store, "qsbPeriodS", s.qsbPeriodS);
    Read(*store, "qrm", s.qrmOn);
    Read(*store, "qrmOffsetHz", s.qrmOffsetHz);
    Read(*store, "qrmLevelDb", s.qrmLevelDb);
    Read(*store, "qrn", s.qrnOn);
    Read(*store, "qrnPerMinute", s.qrnPerMinute);
    Read(*store, "qrnLevelDb", s.qrnLevelDb);
    return Bounded(s);
}

void SaveBandSettings(const BandSettings& settings) {
    const BandSettings s = Bounded(settings);
    const auto store = OpenUserSettings();
    store->beginGroup(kGroup);
    store->setValue(QStringLiteral("enabled"), s.enabled);
    store->setValue(QStringLiteral("noise"), s.noiseOn);
    store->setValue(QStringLiteral("snrDb"), s.snrDb);
    store->setValue(QStringLiteral("filterHz"), s.filterHz);
    store->setValue(QStringLiteral("qsb"), s.qsbOn);
    store->setValue(QStringLiteral("qsbDepthDb"), s.qsbDepthDb);
    store->setValue(QStringLiteral("qsbPeriodS"), s.qsbPeriodS);
    store->setValue(QStringLiteral("qrm"), s.qrmOn);
    store->setValue(QStringLiteral("qrmOffsetHz"), s.qrmOffsetHz);
    store->setValue(QStringLiteral("qrmLevelDb"), s.qrmLevelDb);
    store->setValue(QStringLiteral("qrn"), s.qrnOn);
    store->setValue(QStringLiteral("qrnPerMinute"), s.qrnPerMinute);
    store->setValue(QStringLiteral("qrnLevelDb"), s.qrnLevelDb);
}
