#pragma once

#include "platform/controls.h"
#include "platform/dialog_form.h"

// The continuous-Morse dialog: how many runs in a row, and whether each is printed.
class Dauform : public DialogForm {
    Q_OBJECT
public:
    Dauform();

    Label Label1{"Label1"};  // "Anzahl: "
    TextBox Text1{"Text1"};  // number of runs
    Button ok{"ok"};
    Label Label2{"Label2"};   // "Dazwischen 8 sec. Pause "
    CheckBox midru{"midru"};  // "mit Ausdrucken": print after each run

    void Form_Load();
    void ok_Click();  // "ok"
    // The frame's close button: discards the dialog without taking anything.
    void Form_Close() { Unload(); }
};

// The dialog's one instance; ok hides it and keeps its values.
FormSlot<Dauform>& dauform();

// The main window's check box "Dauermorsen" (also when the program changes its value).
void Dauermorsen_Click();
