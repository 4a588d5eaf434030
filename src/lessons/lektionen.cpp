#include "lessons/lektionen.h"

#include "lessons/lesson_file.h"
#include "platform/dialogs.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "state/shared_state.h"

Lektionen::Lektionen()
    : DialogForm("Lektionen", QStringLiteral("LEKTIONEN"), 6450, 4290, RGB(192, 255, 255)) {
    Label1.setCaption(QStringLiteral("nach DARC  Morsekurs"));
    Label2.setCaption(QStringLiteral("Eigene Lektionen"));
    Cancel.setCaption(QStringLiteral("Cancel"));
    Command2.setCaption(QStringLiteral("tauschen"));
    Command5.setCaption(QStringLiteral("Löschen"));
    Command6.setCaption(QStringLiteral("anhängen"));
    ok.setCaption(QStringLiteral("ok"));
    ok.onClick = [this] { ok_Click(); };
    Cancel.onClick = [this] { Cancel_Click(); };
    List2.onClick = [this] { List2_Click(); };
    Command6.onClick = [this] { Command6_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
}

void Lektionen::Form_Load() {
    const Form1& f = form1();
    Top = f.Top + (f.Height - Height) / 2;
    Left = f.Left + (f.Width - Width) / 2;
    emit geometryChanged();
    for (const char* lesson : kCourseLessons) List1.AddItem(QString::fromLatin1(lesson));
    const OwnLessons own = ReadOwnLessons();
    for (const QString& lesson : own.entries) List2.AddItem(lesson);
    if (!own.problem.isEmpty()) {
        if (DialogSeam* dialogs = Platform().dialogs) dialogs->message(own.problem);
    }
}

void Lektionen::ok_Click() {
    SharedState& s = S();
    s.ExerciseText.clear();
    for (const ListBox* list : {&List1, &List2}) {
        for (int i = 0; i < list->ListCount(); ++i) {
            if (list->Selected(i)) s.ExerciseText += list->List(i);
        }
    }
    form1().Panel2.setCaption(QStringLiteral("Lektionen"));
    s.ExerciseKind = QStringLiteral("E");
    Unload();
}

void Lektionen::List2_Click() {
    if (List2.ListIndex() >= 0) Text1.setText(List2.List(List2.ListIndex()));
}

void Lektionen::Command6_Click() { List2.AddItem(Text1.text()); }

void Lektionen::Command2_Click() {
    if (List2.ListIndex() >= 0) List2.setList(List2.ListIndex(), Text1.text());
}

void Lektionen::Command5_Click() {
    if (List2.ListIndex() >= 0) List2.RemoveItem(List2.ListIndex());
}

void Lektionen::Command3_Click() {
    const int i = List2.ListIndex();
    if (i > 0) moveOwnLesson(i, i - 1);
}

void Lektionen::Command4_Click() {
    const int i = List2.ListIndex();
    if (i >= 0 && i < List2.ListCount() - 1) moveOwnLesson(i, i + 1);
}

void Lektionen::moveOwnLesson(int from, int to) {
    const QString moved = List2.List(from);
    List2.setList(from, List2.List(to));
    List2.setList(to, moved);
    List2.setSelected(from, false);
    List2.setSelected(to, true);
}

FormSlot<Lektionen>& lektionen() {
    static FormSlot<Lektionen> slot;
    return slot;
}
