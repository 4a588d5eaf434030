#pragma once

#include <QLabel>

// A label that shows a value (a speed, a time, the title of the current kind). A screen reader
// hears it as "meaning: value", or as the caption alone where the caption already says what
// it is; the description holds the longer meaning, and every change of the text is announced.
// With no meaning set it reads as a plain label.
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    explicit ValueLabel(QWidget* parent = nullptr);
    ValueLabel(const QString& text, QWidget* parent);

    // `meaning` is the short name ("Geschwindigkeit"), `description` the longer one
    // ("Geschwindigkeit in Zeichen pro Minute").
    void setMeaning(const QString& meaning, const QString& description = QString());
    // The caption itself names the value ("langer Ton 3,5"): the name is the caption alone.
    void setCaptionIsName(bool on) { captionIsName_ = on; }
    // Shows `text` and tells assistive technology when it changed.
    void setValueText(const QString& text);
    // What a screen reader hears as the name.
    QString spokenName() const;
    const QString& meaning() const { return meaning_; }

signals:
    // The text shown changed through setValueText.
    void valueTextChanged();

private:
    QString meaning_;
    bool captionIsName_ = false;
};
