#include "platform/number_format.h"

#include <cmath>

long long RoundHalfEven(double value) {
    return static_cast<long long>(std::nearbyint(value));
}

QString FormatNumber(double value, const QString& pattern, const QLocale& locale) {
    // Split the pattern into a literal prefix, the digit placeholders and a literal suffix.
    int first = -1, last = -1;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'#' || c == u'0' || c == u'.') {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0) return pattern;
    const QString prefix = pattern.left(first);
    const QString suffix = pattern.mid(last + 1);
    const QString body = pattern.mid(first, last - first + 1);
    const int point = body.indexOf(u'.');
    const QString intPart = point < 0 ? body : body.left(point);
    const QString fracPart = point < 0 ? QString() : body.mid(point + 1);
    const int minInt = intPart.count(u'0');
    const int decimals = fracPart.size();

    // Round half away from zero on the exact binary value, as the classic formatter does.
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(std::abs(value) * scale) / scale;
    const bool negative = value < 0 && rounded != 0;
    QString digits = QString::number(rounded, 'f', decimals);
    QString whole = point < 0 ? digits : digits.section(u'.', 0, 0);
    const QString frac = decimals > 0 ? digits.section(u'.', 1, 1) : QString();
    while (whole.size() > minInt && whole.startsWith(u'0')) whole.remove(0, 1);
    while (whole.size() < minInt) whole.prepend(u'0');

    QString out = whole;
    if (point >= 0) out += locale.decimalPoint() + frac;
    if (negative) out.prepend(u'-');
    return prefix + out + suffix;
}

QString ShortestText(float value, const QLocale& locale) {
    QString text = QString::number(static_cast<double>(value), 'g', 7);
    if (text.contains(u'e')) {
        // Spell out large and tiny values without an exponent.
        text = QString::number(static_cast<double>(value), 'f', 7);
        if (text.contains(u'.')) {
            while (text.endsWith(u'0')) text.chop(1);
            if (text.endsWith(u'.')) text.chop(1);
        }
    }
    text.replace(u'.', locale.decimalPoint());
    return text;
}
