#include "mainwindow/window_handlers.h"

#include "dialogs/dauform.h"
#include "dialogs/formtxt.h"
#include "dialogs/infoform.h"
#include "engine/printing.h"
#include "engine/spoken_characters.h"
#include "lessons/lektionen.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "state/shared_state.h"

void ShowForm(DialogId id) {
    DialogForm* form = nullptr;
    switch (id) {
        case DialogId::OwnText:
            form = &formtxt().load();
            break;
        case DialogId::Lessons:
            form = &lektionen().load();
            break;
        case DialogId::ContinuousMorse:
            form = &dauform().load();
            break;
        case DialogId::Info:
            form = &infoform().load();
            break;
    }
    form->Show();
    if (DialogSeam* seam = Platform().dialogs) seam->showDialog(id);
}

void Meigen_Click() {
    PlayWave(QStringLiteral("S12"));
    ShowForm(DialogId::OwnText);
}

void METext_Click() {
    PlayWave(QStringLiteral("S12"));
    ShowForm(DialogId::OwnText);
}

void MELekt_Click() { ShowForm(DialogId::Lessons); }

void Mdauermorsen_Click() { ShowForm(DialogId::ContinuousMorse); }

void MInfo_Click() { ShowForm(DialogId::Info); }

void Command3D4_Click() {
    Formtxt& box = formtxt().load();
    box.Text1.setText(S().SentText);
    PrintText(box.Text1.text());
}

void Command3D7_Click() { PrintFormFeed(); }

void DruConf_Click() {
    if (DialogSeam* seam = Platform().dialogs) seam->printerSetup();
    ShowPrinterName();
}

void L_Printer_Click() { DruConf_Click(); }

void WireDialogHandlers() {
    Form1& f = form1();
    f.Meigen.onClick = Meigen_Click;
    f.METext.onClick = METext_Click;
    f.MELekt.onClick = MELekt_Click;
    f.MInfo.onClick = MInfo_Click;
    f.Mdauermorsen.onClick = Mdauermorsen_Click;
    f.Dauermorsen.onClick = Dauermorsen_Click;
    f.DruConf.onClick = DruConf_Click;
    f.L_Printer.onClick = L_Printer_Click;
    f.Command3D4.onClick = Command3D4_Click;
    f.Command3D7.onClick = Command3D7_Click;
}

void ResetDialogForms() {
    formtxt().reset();
    lektionen().reset();
    dauform().reset();
    infoform().reset();
}
