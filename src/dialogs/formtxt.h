#pragma once

#include "platform/controls.h"
#include "platform/dialog_form.h"

// The own-text dialog: the user's text, taken either as a set of characters (kind "E") or as
// a text to send (kind "T").
class Formtxt : public DialogForm {
    Q_OBJECT
public:
    Formtxt();

    TextBox Text1{"Text1"};  // the own text or characters
    Button ok{"ok"};         // "Als Zeichen eing.": take as own characters
    Button ok2{"ok2"};       // "Als TEXT eing.": take as own text

    void Form_Load();
    void ok_Click();
    void ok2_Click();
};

// The dialog's one instance.
FormSlot<Formtxt>& formtxt();

// At most this many characters of the text, blanks included, make up an own-characters pool.
constexpr int kOwnCharactersLimit = 30;
