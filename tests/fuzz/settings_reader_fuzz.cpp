// libFuzzer target for the settings-line reader: any bytes must read without a crash or a hang,
// keep every value inside its field's limits, and a complete line must write out as a line that
// reads back complete and then stays the same.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "mainwindow/settings_format.h"
#include "fuzz_check.h"

namespace {
bool SameField(const SettingsField& field, const SettingsValues& a, const SettingsValues& b) {
    switch (field.type) {
        case SettingsFieldType::IntegerPart:
        case SettingsFieldType::Decimal:
            return a.*field.decimal == b.*field.decimal;
        case SettingsFieldType::Whole:
            return a.*field.whole == b.*field.whole;
        case SettingsFieldType::Quoted:
            return a.*field.text == b.*field.text;
        case SettingsFieldType::Reserved:
            return true;
    }
    return false;
}

void ReadOne(const QString& text) {
    const SettingsValues defaults = DefaultSettings();
    SettingsValues values = defaults;
    const int read = ParseSettingsLine(text, values);
    Check(read >= 0 && read <= kSettingsFieldCount);
    for (int i = 0; i < kSettingsFieldCount; ++i) {
        const SettingsField& field = kSettingsFields[i];
        if (i >= read) Check(SameField(field, values, defaults));
        if (field.type == SettingsFieldType::Decimal ||
            field.type == SettingsFieldType::IntegerPart) {
            const double value = values.*field.decimal;
            Check(value >= static_cast<float>(field.least) && value <= field.most);
        }
        if (field.type == SettingsFieldType::Quoted) Check((values.*field.text).size() == 1);
    }
    if (read < kSettingsFieldCount) return;
    const QString line = FormatSettingsLine(values);
    SettingsValues again = defaults;
    Check(ParseSettingsLine(line, again) == kSettingsFieldCount);
    Check(FormatSettingsLine(again) == line);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The file's bytes as single characters, the way the trainer reads it...
    ReadOne(QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    // ...and as UTF-16, for the characters beyond one byte (lone surrogates included).
    ReadOne(QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2)));
    return 0;
}
