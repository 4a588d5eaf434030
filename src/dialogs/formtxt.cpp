#include "dialogs/formtxt.h"

#include "platform/form1.h"
#include "state/shared_state.h"

Formtxt::Formtxt()
    : DialogForm("formtxt", QStringLiteral("Eingabe von Text    /    Eig.Zeichen"), 7890, 4965,
                 RGB(0, 192, 192)) {
    ok.setCaption(QStringLiteral("Als Z&eichen eing."));
    ok2.setCaption(QStringLiteral("Als &TEXT eing."));
    ok.onClick = [this] { ok_Click(); };
    ok2.onClick = [this] { ok2_Click(); };
}

void Formtxt::Form_Load() {
    Text1.setText(S().SentText);
    Top = form1().Top + 350;
    Left = (Screen().Width - Width) / 2;
    emit geometryChanged();
}

void Formtxt::ok_Click() {
    SharedState& s = S();
    s.ExerciseKind = QStringLiteral("E");
    // The limit counts the blanks too: they are removed only afterwards.
    QString pool = Text1.text().left(kOwnCharactersLimit);
    pool.remove(u' ');
    s.ExerciseText = pool;
    Unload();
}

void Formtxt::ok2_Click() {
    SharedState& s = S();
    s.ExerciseText = Text1.text();
    s.ExerciseKind = QStringLiteral("T");
    form1().Panel2.setCaption(QStringLiteral("Eigener Text"));
    Unload();
}

FormSlot<Formtxt>& formtxt() {
    static FormSlot<Formtxt> slot;
    return slot;
}
