#pragma once

#include "platform/controls.h"
#include "platform/dialog_form.h"

// The information box: what the program is and whom it is for.
class Infoform : public DialogForm {
    Q_OBJECT
public:
    Infoform();

    Label Label1{"Label1"};
    Label Label2{"Label2"};
    Button Command1{"Command1"};

    void Form_Load();
    void Command1_Click() { Unload(); }
};

// The dialog's one instance.
FormSlot<Infoform>& infoform();
