#include "platform/form1.h"

#include <memory>

namespace {
std::unique_ptr<Form1>& holder() {
    static std::unique_ptr<Form1> form;
    return form;
}
}  // namespace

Form1::Form1() {
    Datum0.setCaption(QStringLiteral("00:00:00"));
    Datum1.setCaption(QStringLiteral("00:00"));
    Minuten.setCaption(QStringLiteral("0"));
    Panel2.setCaption(QStringLiteral("Panel2"));
    pan1.setCaption(QStringLiteral("Hören"));
    L_Printer.setCaption(QStringLiteral("Printer"));
    pan_dau.setCaption(QStringLiteral("12"));
    comload_cst.setCaption(QStringLiteral("Load"));
    Comsave_cst.setCaption(QStringLiteral("Save"));
    C_Default.setCaption(QStringLiteral("Standard"));
    com_vorlesen.setCaption(QStringLiteral("Vorlesen"));
    Command2.setCaption(QStringLiteral("v vorne"));
    deutsch.joinGroup(&englisch);
    deutsch.setValue(true);
    L_LT.setCaption(QStringLiteral("langer Ton"));
    L_Gesch.setCaption(QStringLiteral("60"));
    L_Abst.setCaption(QStringLiteral("99,9"));
    L_WAbst.setCaption(QStringLiteral("99,9"));
    panschnitt.setCaption(QStringLiteral("999"));
    L_Ton.setCaption(QStringLiteral("999"));
    L_Anz.setCaption(QStringLiteral("12"));
    com_s1.setCaption(QStringLiteral("S1"));
    COM_S2.setCaption(QStringLiteral("S2"));
    com_s3.setCaption(QStringLiteral("S3"));
    Command3D4.setCaption(QStringLiteral("Ausdrucken"));
    Command3D7.setCaption(QStringLiteral("Vorschub"));
    Minuten.setBackColor(RGB(0, 0, 0));
    Minuten.setForeColor(RGB(128, 255, 255));
    for (Label* white : {&Panel2, &pan_dau}) {
        white->setBackColor(RGB(128, 0, 128));
        white->setForeColor(RGB(255, 255, 255));
    }
    pan1.setBackColor(RGB(128, 0, 0));
    pan1.setForeColor(RGB(255, 255, 255));
    Text2.setVisible(false);
    compause.setFace(QStringLiteral("pause"));
    compause.setEnabled(false);
    comstop.setEnabled(false);
}

std::vector<Control*> Form1::all() {
    return {&Datum0,
            &Datum1,
            &Minuten,
            &Panel2,
            &pan1,
            &L_Printer,
            &Dauermorsen,
            &pan_dau,
            &comload_cst,
            &Comsave_cst,
            &C_Default,
            &com_vorlesen,
            &Command2,
            &deutsch,
            &englisch,
            &Auge,
            &Ohr,
            &Mund,
            &PB1,
            &Text2,
            &Command1,
            &Com_Tastatur,
            &COM_FA,
            &C_Hoeren,
            &L_LT,
            &LT,
            &L_Gesch,
            &UpDownGesch,
            &L_Abst,
            &UpDownAbst,
            &L_WAbst,
            &UpDownWAbst,
            &anziehen1,
            &anziehen2,
            &O_Verkl,
            &panschnitt,
            &L_Ton,
            &UpDownTon,
            &vari,
            &unsauber,
            &tonschwank,
            &L_Anz,
            &UpDownAnz,
            &com_s1,
            &COM_S2,
            &com_s3,
            &COM_vvv,
            &Comstart,
            &compause,
            &comstop,
            &comloe,
            &Command3D4,
            &Command3D7,
            &comexit,
            &shape1,
            &Timer_Uhrzeit,
            &Timer2,
            &MGruppen,
            &MBuchstaben,
            &MZahlen,
            &MSonderzeichen,
            &MRufzeichen,
            &Meigen,
            &MBsteZgr,
            &MBstZahlen,
            &MBstSonder,
            &MBstZahlSond,
            &MTexte,
            &METext,
            &MELekt,
            &MausDatei,
            &MAAbk,
            &MWortgen,
            &MPruefung,
            &Mk,
            &Mdauermorsen,
            &DruConf,
            &MInfo,
            &sp1,
            &fuer};
}

Form1& form1() {
    auto& form = holder();
    if (!form) form = std::make_unique<Form1>();
    return *form;
}

void ResetForm1() {
    holder().reset();
    holder() = std::make_unique<Form1>();
}

std::unique_ptr<Form1> ExchangeForm1(std::unique_ptr<Form1> form) {
    std::swap(holder(), form);
    return form;
}

void CopyControls(Form1& from, Form1& to) {
    const std::vector<Control*> source = from.all();
    const std::vector<Control*> target = to.all();
    for (size_t i = 0; i < source.size(); ++i) {
        Control* a = source[i];
        Control* b = target[i];
        b->setEnabled(a->enabled());
        b->setVisible(a->visible());
        if (auto* label = qobject_cast<Label*>(a)) {
            auto* copy = static_cast<Label*>(b);
            copy->setCaption(label->caption());
            copy->setBackColor(label->backColor());
            copy->setForeColor(label->foreColor());
        } else if (auto* box = qobject_cast<CheckBox*>(a)) {
            static_cast<CheckBox*>(b)->setValue(box->value());
        } else if (auto* option = qobject_cast<OptionButton*>(a)) {
            if (option->value()) static_cast<OptionButton*>(b)->setValue(true);
        } else if (auto* button = qobject_cast<Button*>(a)) {
            static_cast<Button*>(b)->setCaption(button->caption());
            static_cast<Button*>(b)->setFace(button->face());
        } else if (auto* bar = qobject_cast<ProgressBar*>(a)) {
            static_cast<ProgressBar*>(b)->setMax(bar->max());
            static_cast<ProgressBar*>(b)->setValue(bar->value());
        } else if (auto* number = qobject_cast<ValueControl*>(a)) {
            static_cast<ValueControl*>(b)->setValue(number->value());
        } else if (auto* text = qobject_cast<TextBox*>(a)) {
            static_cast<TextBox*>(b)->setText(text->text());
        } else if (auto* shape = qobject_cast<Shape*>(a)) {
            auto* copy = static_cast<Shape*>(b);
            copy->Left = shape->Left;
            copy->Top = shape->Top;
            copy->Width = shape->Width;
            copy->Height = shape->Height;
            copy->setFillColor(shape->fillColor());
        } else if (auto* item = qobject_cast<MenuItem*>(a)) {
            static_cast<MenuItem*>(b)->setCaption(item->caption());
        }
    }
    to.Left = from.Left;
    to.Top = from.Top;
    to.Width = from.Width;
    to.Height = from.Height;
    to.ScaleWidth = from.ScaleWidth;
    to.ScaleHeight = from.ScaleHeight;
    to.Caption = from.Caption;
}
