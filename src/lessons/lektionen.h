#pragma once

#include <array>

#include "platform/controls.h"
#include "platform/dialog_form.h"
#include "platform/list_box.h"

// The eleven lessons of the DARC Morse course, in course order.
extern const std::array<const char*, 11> kCourseLessons;

// The lessons dialog: course lessons and own lessons become the character pool of kind "E".
class Lektionen : public DialogForm {
    Q_OBJECT
public:
    Lektionen();

    Label Label1{"Label1"};
    ListBox List1{"List1", true};
    Label Label2{"Label2"};
    ListBox List2{"List2", false};
    Button Command3{"Command3"};
    Button Command4{"Command4"};
    Button Cancel{"Cancel"};
    Button Command2{"Command2"};
    TextBox Text1{"Text1"};
    Button Command5{"Command5"};
    Button Command6{"Command6"};
    Button ok{"ok"};

    void Form_Load();
    void ok_Click();
    void Cancel_Click() { Unload(); }
    void List2_Click();
    void Command6_Click();
    void Command2_Click();
    void Command5_Click();
    void Command3_Click();
    void Command4_Click();

private:
    void moveOwnLesson(int from, int to);
};

// The dialog's one instance; each opening starts again from the course and the file.
FormSlot<Lektionen>& lektionen();
