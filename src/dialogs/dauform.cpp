#include "dialogs/dauform.h"

#include "engine/spoken_characters.h"
#include "platform/dialogs.h"
#include "platform/form1.h"
#include "platform/print_layer.h"
#include "platform/services.h"
#include "state/shared_state.h"

Dauform::Dauform()
    : DialogForm("Dauform", QStringLiteral("Dauermorsen"), 2640, 2010, RGB(255, 255, 192)) {
    Label1.setCaption(QStringLiteral("Anzahl: "));
    Text1.setText(QStringLiteral("12"));
    ok.setCaption(QStringLiteral("ok"));
    Label2.setCaption(QStringLiteral("Dazwischen 8 sec. Pause "));
    ok.onClick = [this] { ok_Click(); };
}

void Dauform::Form_Load() {
    const Form1& f = form1();
    Top = f.Top + (f.Height - Height) / 2;
    Left = f.Left + (f.Width - Width) / 2;
    emit geometryChanged();
}

void Dauform::ok_Click() {
    Form1& f = form1();
    f.pan_dau.setCaption(Text1.text());
    f.Dauermorsen.setValue(1);
    S().PrintAfterRun = static_cast<int16_t>(midru.value() == 1 ? 1 : 0);
    if (PrintLayer* printer = Platform().printer) {
        printer->setFontName(QStringLiteral("Courier new"));
        printer->setFontSize(12);
        printer->setFontBold(true);
    }
    Hide();
}

FormSlot<Dauform>& dauform() {
    static FormSlot<Dauform> slot;
    return slot;
}

void Dauermorsen_Click() {
    PlayWave(QStringLiteral("S12"));
    form1().pan_dau.setCaption(dauform().load().Text1.text());
}
