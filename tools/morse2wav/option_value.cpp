#include "option_value.h"

#include <cmath>

#include "options.h"

OptionValue::OptionValue(const QString& option, const QString& text)
    : option_(option), text_(text) {
    QString plain = text.trimmed();
    plain.replace(u',', u'.');  // a German user may well write 1,5
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (ok && std::isfinite(value)) number_ = value;
}

bool OptionValue::wholeIn(double low, double high) const {
    return in(low, high) && *number_ == std::floor(*number_);
}

bool OptionValue::in(double low, double high) const {
    return number_ && *number_ >= low && *number_ <= high;
}

QString OptionValue::refuse(const QString& allowed) const {
    return QStringLiteral("ungültiger Wert „%1“ für %2: erlaubt ist %3")
        .arg(Excerpt(text_), option_, allowed);
}
