#pragma once

#include "platform/controls.h"
#include "platform/dialog_form.h"

// The information box: what the program is and whom it is for.
class Infoform : public DialogForm {
    Q_OBJECT
public:
    Infoform();

    Label Label1{"Label1"};       // "für Alle, die sich noch für CW interessieren"
    Label Label2{"Label2"};       // "Morse-Übungsprogramm"
    Button Command1{"Command1"};  // "zurück"

    void Form_Load();
    void Command1_Click() { Unload(); }  // "zurück"
};

// The dialog's one instance.
FormSlot<Infoform>& infoform();
