#pragma once

#include <QString>
#include <optional>

// One option's value as morse2wav reads it: a number with a decimal point or comma, and the
// German message that refuses it.
class OptionValue {
public:
    OptionValue(const QString& option, const QString& text);

    // The number, when the text is one and finite.
    std::optional<double> number() const { return number_; }
    // A whole number from `low` to `high`.
    bool wholeIn(double low, double high) const;
    // Any number from `low` to `high`.
    bool in(double low, double high) const;
    // "ungültiger Wert „…“ für --option: erlaubt ist `allowed`".
    QString refuse(const QString& allowed) const;

private:
    QString option_;
    QString text_;
    std::optional<double> number_;
};
