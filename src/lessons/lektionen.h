#pragma once

#include "exercises/darc_lessons.h"
#include "platform/controls.h"
#include "platform/dialog_form.h"
#include "platform/list_box.h"

// The lessons dialog: course lessons and own lessons become the character pool of kind "E".
class Lektionen : public DialogForm {
    Q_OBJECT
public:
    Lektionen();

    Label Label1{"Label1"};         // "nach DARC  Morsekurs"
    ListBox List1{"List1", true};   // the course lessons
    Label Label2{"Label2"};         // "Eigene Lektionen"
    ListBox List2{"List2", false};  // the own lessons
    Button Command3{"Command3"};    // up arrow: own lesson up
    Button Command4{"Command4"};    // down arrow: own lesson down
    Button Cancel{"Cancel"};        // "Cancel"
    Button Command2{"Command2"};    // "tauschen": replace the own lesson
    TextBox Text1{"Text1"};         // the own lesson being edited
    Button Command5{"Command5"};    // "Löschen": delete the own lesson
    Button Command6{"Command6"};    // "anhängen": append an own lesson
    Button ok{"ok"};                // "ok"

    void Form_Load();
    void ok_Click();
    void Cancel_Click() { Unload(); }
    void List2_Click();     // an own lesson chosen
    void Command6_Click();  // "anhängen"
    void Command2_Click();  // "tauschen"
    void Command5_Click();  // "Löschen"
    void Command3_Click();  // up arrow
    void Command4_Click();  // down arrow

private:
    void moveOwnLesson(int from, int to);
};

// The dialog's one instance; each opening starts again from the course and the file.
FormSlot<Lektionen>& lektionen();
