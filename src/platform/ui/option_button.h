#pragma once

#include <QRadioButton>

// An option button whose checked state its owner sets: it is not auto-exclusive, so that only
// the owner's answer changes what it shows. Qt reports such a button to assistive technology
// as a check box; this one stays a radio button ("Optionsfeld"), with its checked state and a
// toggle action that clicks it.
class OptionButtonWidget : public QRadioButton {
    Q_OBJECT
public:
    // The caption is set afterwards with setText: Qt keeps the first accessibility interface
    // it makes for an object, and setting the text may ask for one.
    explicit OptionButtonWidget(QWidget* parent = nullptr);
};
