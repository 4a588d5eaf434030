#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <limits>

// The line of MORSE.CST: ten comma-separated fields, written with "." as the decimal separator
// whatever the locale. This part knows only text; the file and the window live in
// settings_file.h.

// The values one line carries.
struct SettingsValues {
    float speed = 0;        // cpm
    float pitch = 0;        // Hz
    float groups = 0;       // groups per exercise
    float charSpacing = 0;  // factor
    float wordSpacing = 0;  // factor
    QString kind;           // exercise kind, one character
    int16_t optionFlags = 0;
    int16_t dash = 0;  // tenths of a dot
};

enum class SettingsFieldType {
    IntegerPart,  // a number, written as its integer part
    Decimal,      // a number of at most 7 significant digits
    Whole,        // a whole number (16 bits); a fraction read is rounded half to even
    Quoted,       // one character between double quotes
    Reserved,     // written empty, read and ignored
};

// One field of the line: its type, where its value lives, its default and the values a read
// accepts. A number read outside [least, most] makes the line malformed from that field on.
struct SettingsField {
    const char* name;
    SettingsFieldType type;
    float SettingsValues::*decimal = nullptr;
    int16_t SettingsValues::*whole = nullptr;
    QString SettingsValues::*text = nullptr;
    double defaultNumber = 0;
    char16_t defaultChar = 0;
    double least = std::numeric_limits<int16_t>::min();
    double most = std::numeric_limits<int16_t>::max();
};

// The fields in the order of the line. The limits keep a hand-edited file from stalling or
// breaking the timing (a speed of 0 or 1e30); they lie far beyond anything a person would set,
// so values merely outside a control's range (speed 500) still load. The whole numbers only
// have to fit their 16 bits; the slider itself refuses a dash length it cannot show.
inline const std::array<SettingsField, 10> kSettingsFields = {{
    {.name = "speed",
     .type = SettingsFieldType::IntegerPart,
     .decimal = &SettingsValues::speed,
     .defaultNumber = 60,
     .least = 1,
     .most = 10000},
    {.name = "pitch",
     .type = SettingsFieldType::IntegerPart,
     .decimal = &SettingsValues::pitch,
     .defaultNumber = 800,
     .least = 1,
     .most = 20000},
    {.name = "groups",
     .type = SettingsFieldType::Decimal,
     .decimal = &SettingsValues::groups,
     .defaultNumber = 12,
     .least = 0.01,
     .most = 10000},
    {.name = "charSpacing",
     .type = SettingsFieldType::Decimal,
     .decimal = &SettingsValues::charSpacing,
     .defaultNumber = 1,
     .least = 0.01,
     .most = 100},
    {.name = "wordSpacing",
     .type = SettingsFieldType::Decimal,
     .decimal = &SettingsValues::wordSpacing,
     .defaultNumber = 1,
     .least = 0.01,
     .most = 100},
    {.name = "kind",
     .type = SettingsFieldType::Quoted,
     .text = &SettingsValues::kind,
     .defaultChar = u'Z'},
    {.name = "optionFlags",
     .type = SettingsFieldType::Whole,
     .whole = &SettingsValues::optionFlags,
     .defaultNumber = 0},
    {.name = "dash",
     .type = SettingsFieldType::Whole,
     .whole = &SettingsValues::dash,
     .defaultNumber = 30},
    {.name = "reserved1", .type = SettingsFieldType::Reserved},
    {.name = "reserved2", .type = SettingsFieldType::Reserved},
}};

constexpr int kSettingsFieldCount = 10;

// The values every field starts with.
SettingsValues DefaultSettings();

// The line for `values`, without its line end.
QString FormatSettingsLine(const SettingsValues& values);

// Reads the first line of `text` field by field into `values`: blanks before a field are
// skipped, a quoted text runs to its closing quote, an empty number reads as 0, the line ends at
// CR or LF, and anything after the tenth field is ignored. Each field's value is stored as soon
// as it is read; reading stops at the first field that is missing, not a number or outside its
// limits. Returns how many fields were read: kSettingsFieldCount for a complete line.
int ParseSettingsLine(QStringView text, SettingsValues& values);

// A float as plain decimal text with "." and at most 7 significant digits (1, 1.5, 0.0001).
QString PlainDecimal(double value);
