#include "sending/sending_settings.h"

#include "platform/user_settings.h"

namespace {
int IntOr(QSettings& s, const QString& key, int fallback, int low, int high) {
    bool ok = false;
    const int v = s.value(key).toInt(&ok);
    return ok && v >= low && v <= high ? v : fallback;
}
}  // namespace

SendingSettings LoadSendingSettings() {
    SendingSettings d;
    auto s = OpenUserSettings();
    s->beginGroup(QStringLiteral("Geben"));
    d.source = static_cast<KeySource>(
        IntOr(*s, QStringLiteral("Eingabe"), static_cast<int>(d.source), 0, 3));
    d.mode =
        static_cast<KeyerMode>(IntOr(*s, QStringLiteral("Keyer"), static_cast<int>(d.mode), 0, 4));
    d.weightPercent = IntOr(*s, QStringLiteral("Gewichtung"), d.weightPercent, 25, 75);
    d.straightKey = IntOr(*s, QStringLiteral("Handtaste"), d.straightKey, 0, 0xFFFF);
    d.ditKey = IntOr(*s, QStringLiteral("PunktTaste"), d.ditKey, 0, 0xFFFF);
    d.dahKey = IntOr(*s, QStringLiteral("StrichTaste"), d.dahKey, 0, 0xFFFF);
    d.serialPort = s->value(QStringLiteral("Anschluss")).toString();
    d.midiPort = s->value(QStringLiteral("MidiAnschluss")).toString();
    d.exercise = static_cast<SendingMode>(
        IntOr(*s, QStringLiteral("Uebung"), static_cast<int>(d.exercise), 0, 2));
    d.hideTemplate = IntOr(*s, QStringLiteral("VorlageAusblenden"), 0, 0, 1) == 1;
    return d;
}

void SaveSendingSettings(const SendingSettings& d) {
    auto s = OpenUserSettings();
    s->beginGroup(QStringLiteral("Geben"));
    s->setValue(QStringLiteral("Eingabe"), static_cast<int>(d.source));
    s->setValue(QStringLiteral("Keyer"), static_cast<int>(d.mode));
    s->setValue(QStringLiteral("Gewichtung"), d.weightPercent);
    s->setValue(QStringLiteral("Handtaste"), d.straightKey);
    s->setValue(QStringLiteral("PunktTaste"), d.ditKey);
    s->setValue(QStringLiteral("StrichTaste"), d.dahKey);
    s->setValue(QStringLiteral("Anschluss"), d.serialPort);
    s->setValue(QStringLiteral("MidiAnschluss"), d.midiPort);
    s->setValue(QStringLiteral("Uebung"), static_cast<int>(d.exercise));
    s->setValue(QStringLiteral("VorlageAusblenden"), d.hideTemplate ? 1 : 0);
}
