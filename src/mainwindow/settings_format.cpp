#include "mainwindow/settings_format.h"

#include <QStringList>
#include <cmath>

namespace {
bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Plain decimal notation with "." and an optional exponent; nothing else, so that the C-locale
// conversion never sees "inf", "nan", hex or a locale's separators.
bool IsNumberText(QStringView t) {
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
    qsizetype digits = 0;
    while (i < n && IsDigit(t[i])) ++i, ++digits;
    if (i < n && t[i] == u'.') {
        ++i;
        while (i < n && IsDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
        qsizetype exponentDigits = 0;
        while (i < n && IsDigit(t[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == n;
}

// An empty field reads as 0.
bool ReadNumber(QStringView t, double& value) {
    if (t.isEmpty()) {
        value = 0;
        return true;
    }
    if (!IsNumberText(t)) return false;
    bool ok = false;
    value = t.toDouble(&ok);
    return ok && std::isfinite(value);
}

bool StoreField(const SettingsField& field, QStringView raw, SettingsValues& values) {
    double number = 0;
    switch (field.type) {
        case SettingsFieldType::IntegerPart:
        case SettingsFieldType::Decimal:
            if (!ReadNumber(raw, number) || number < field.least || number > field.most)
                return false;
            values.*field.decimal = static_cast<float>(number);
            return true;
        case SettingsFieldType::Whole:
            if (!ReadNumber(raw, number)) return false;
            number = std::nearbyint(number);
            if (number < field.least || number > field.most) return false;
            values.*field.whole = static_cast<int16_t>(number);
            return true;
        case SettingsFieldType::Quoted:
            values.*field.text = raw.isEmpty() ? QStringLiteral(" ") : raw.left(1).toString();
            return true;
        case SettingsFieldType::Reserved:
            return true;
    }
    return false;
}
}  // namespace

SettingsValues DefaultSettings() {
    SettingsValues values;
    for (const SettingsField& field : kSettingsFields) {
        switch (field.type) {
            case SettingsFieldType::IntegerPart:
            case SettingsFieldType::Decimal:
                values.*field.decimal = static_cast<float>(field.defaultNumber);
                break;
            case SettingsFieldType::Whole:
                values.*field.whole = static_cast<int16_t>(field.defaultNumber);
                break;
            case SettingsFieldType::Quoted:
                values.*field.text = QString(QChar(field.defaultChar));
                break;
            case SettingsFieldType::Reserved:
                break;
        }
    }
    return values;
}

QString PlainDecimal(double value) {
    if (!std::isfinite(value)) return QStringLiteral("0");
    // Seven significant digits in scientific form, then the point moved into place.
    const QString scientific = QString::number(std::abs(value), 'e', 6);
    const qsizetype e = scientific.indexOf(u'e');
    QString digits = scientific.left(1) + scientific.mid(2, e - 2);
    const int exponent = scientific.mid(e + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0')) digits.chop(1);
    if (digits == u"0") return QStringLiteral("0");
    const qsizetype before = exponent + 1;  // digits in front of the point
    QString text;
    if (before <= 0) {
        text = QStringLiteral("0.") + QString(-before, u'0') + digits;
    } else if (before >= digits.size()) {
        text = digits + QString(before - digits.size(), u'0');
    } else {
        text = digits.left(before) + u'.' + digits.mid(before);
    }
    return value < 0 ? u'-' + text : text;
}

QString FormatSettingsLine(const SettingsValues& values) {
    QStringList fields;
    for (const SettingsField& field : kSettingsFields) {
        switch (field.type) {
            case SettingsFieldType::IntegerPart:
                fields << PlainDecimal(std::floor(static_cast<double>(values.*field.decimal)));
                break;
            case SettingsFieldType::Decimal:
                fields << PlainDecimal(static_cast<double>(values.*field.decimal));
                break;
            case SettingsFieldType::Whole:
                fields << QString::number(values.*field.whole);
                break;
            case SettingsFieldType::Quoted:
                fields << u'"' + (values.*field.text).left(1) + u'"';
                break;
            case SettingsFieldType::Reserved:
                fields << QString();
                break;
        }
    }
    return fields.join(u',');
}

int ParseSettingsLine(QStringView text, SettingsValues& values) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    const QStringView line = text.left(end);

    qsizetype pos = 0;
    bool another = true;  // the previous field ended at a comma
    for (int index = 0; index < kSettingsFieldCount; ++index) {
        if (!another) return index;
        while (pos < end && IsBlank(line[pos])) ++pos;
        QStringView raw;
        qsizetype comma;
        if (pos < end && line[pos] == u'"') {
            qsizetype close = line.indexOf(u'"', pos + 1);
            if (close < 0) close = end;
            raw = line.mid(pos + 1, close - pos - 1);
            // Whatever stands between the closing quote and the next comma is dropped.
            comma = close < end ? line.indexOf(u',', close + 1) : -1;
        } else {
            comma = line.indexOf(u',', pos);
            raw = line.mid(pos, (comma < 0 ? end : comma) - pos);
            while (!raw.isEmpty() && IsBlank(raw.back())) raw.chop(1);
        }
        another = comma >= 0;
        pos = another ? comma + 1 : end;
        if (!StoreField(kSettingsFields[index], raw, values)) return index;
    }
    return kSettingsFieldCount;
}
