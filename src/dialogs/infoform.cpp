#include "dialogs/infoform.h"

#include "platform/form1.h"

Infoform::Infoform() : DialogForm("Infoform", QString(), 4155, 3915, RGB(255, 192, 128)) {
    Label1.setCaption(QStringLiteral("für Alle, die sich noch für CW interessieren"));
    Label2.setCaption(QStringLiteral("Morse-Übungsprogramm"));
    Command1.setCaption(QStringLiteral("zurück"));
    Command1.onClick = [this] { Command1_Click(); };
}

void Infoform::Form_Load() {
    const Form1& f = form1();
    Top = f.Top + (f.Height - Height) / 2;
    Left = f.Left + (f.Width - Width) / 2;
    emit geometryChanged();
}

FormSlot<Infoform>& infoform() {
    static FormSlot<Infoform> slot;
    return slot;
}
