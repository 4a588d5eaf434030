#pragma once

#include "dialogs/dauform.h"
#include "dialogs/formtxt.h"
#include "dialogs/infoform.h"
#include "platform/ui/form_window.h"

// The own-text dialog: no frame, no title bar; it is left through one of its two buttons.
class FormtxtWindow : public FormWindow {
    Q_OBJECT
public:
    FormtxtWindow(Formtxt& form, QWidget* parent);
};

// The continuous-Morse dialog. Closing it by its frame discards it with its values.
class DauformWindow : public FormWindow {
    Q_OBJECT
public:
    DauformWindow(Dauform& form, QWidget* parent);

protected:
    void frameClosed() override;

private:
    Dauform& dauform_;
};

// The information box, with two small drawn pictures.
class InfoformWindow : public FormWindow {
    Q_OBJECT
public:
    InfoformWindow(Infoform& form, QWidget* parent);
};
