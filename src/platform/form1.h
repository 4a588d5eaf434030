#pragma once

#include <memory>

#include "platform/controls.h"

// The controls of the main window that the logic reads and writes, under their legacy names.
// Purely decorative controls live only in the window itself.
struct Form1 {
    Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Window geometry, twips.
    double Left = 0, Top = 0;
    double Width = 11640, Height = 7335;
    double ScaleWidth = 11520, ScaleHeight = 6735;
    QString Caption = QStringLiteral("Morse-Übungsprogramm von Zembrak");
    // Puts the window on the screen (a start-up step); the real window installs the hook.
    std::function<void()> onShow;
    void Show() {
        if (onShow) onShow();
    }

    // Top strip.
    Label Datum0{"Datum(0)"};
    Label Datum1{"Datum(1)"};
    Label Minuten{"Minuten"};
    Label Panel2{"Panel2"};
    Label pan1{"pan1"};
    Label L_Printer{"L_Printer"};

    // Left part.
    CheckBox Dauermorsen{"Dauermorsen"};
    Label pan_dau{"pan_dau"};
    Button comload_cst{"comload_cst"};
    Button Comsave_cst{"Comsave_cst"};
    Button C_Default{"C_Default"};
    Button com_vorlesen{"com_vorlesen"};
    Button Command2{"Command2"};
    OptionButton deutsch{"deutsch"};
    OptionButton englisch{"englisch"};
    CheckBox Auge{"Auge"};
    CheckBox Ohr{"Ohr"};
    CheckBox Mund{"Mund"};
    ProgressBar PB1{"PB1"};
    TextBox Text2{"Text2"};
    Button Command1{"Command1"};
    Button Com_Tastatur{"Com_Tastatur"};
    Button COM_FA{"COM_FA"};
    Button C_Hoeren{"C_Hoeren"};
    Label L_LT{"L_LT"};
    ValueControl LT{"LT", 30, 40, 1, 30};

    // Settings panel.
    Label L_Gesch{"L_Gesch"};
    ValueControl UpDownGesch{"UpDownGesch", 20, 200, 5, 60};
    Label L_Abst{"L_Abst"};
    ValueControl UpDownAbst{"UpDownAbst", 10, 50, 1, 10};
    Label L_WAbst{"L_WAbst"};
    ValueControl UpDownWAbst{"UpDownWAbst", 10, 50, 1, 10};
    CheckBox anziehen1{"anziehen1"};
    CheckBox anziehen2{"anziehen2"};
    CheckBox O_Verkl{"O_Verkl"};
    Label panschnitt{"panschnitt"};
    Label L_Ton{"L_Ton"};
    ValueControl UpDownTon{"UpDownTon", 600, 1000, 10, 800};
    CheckBox vari{"vari"};
    CheckBox unsauber{"unsauber"};
    CheckBox tonschwank{"tonschwank"};
    Label L_Anz{"L_Anz"};
    ValueControl UpDownAnz{"UpDownAnz", 1, 30, 1, 12};

    // Button row.
    Button com_s1{"com_s1"};
    Button COM_S2{"COM_S2"};
    Button com_s3{"com_s3"};
    Button COM_vvv{"COM_vvv"};
    Button Comstart{"Comstart"};
    Button compause{"compause"};
    Button comstop{"comstop"};
    Button comloe{"comloe"};
    Button Command3D4{"Command3D4"};
    Button Command3D7{"Command3D7"};
    Button comexit{"comexit"};

    // The display area and the timers.
    Shape shape1{"shape1", 90, 4590, 11355, 1965, RGB(224, 224, 224)};
    Timer Timer_Uhrzeit{"Timer_Uhrzeit", 1000};
    Timer Timer2{"Timer2", 1000};

    // Menu bar.
    MenuItem MGruppen{"MGruppen", QStringLiteral("Gruppen ...")};
    MenuItem MBuchstaben{"MBuchstaben", QStringLiteral("Buchstaben")};
    MenuItem MZahlen{"MZahlen", QStringLiteral("Ziffern")};
    MenuItem MSonderzeichen{"MSonderzeichen", QStringLiteral("Sonderzeichen")};
    MenuItem MRufzeichen{"MRufzeichen", QStringLiteral("Rufzeichen")};
    MenuItem Meigen{"Meigen", QStringLiteral("Eigene Zeichen")};
    MenuItem MBsteZgr{"MBsteZgr", QStringLiteral("Buchstaben + \"99999\"")};
    MenuItem MBstZahlen{"MBstZahlen", QStringLiteral("Buchstaben + Ziffern")};
    MenuItem MBstSonder{"MBstSonder", QStringLiteral("Buchstaben + Sonderz.")};
    MenuItem MBstZahlSond{"MBstZahlSond", QStringLiteral("Bst + Ziffern + Sonderz.")};
    MenuItem MTexte{"MTexte", QStringLiteral("Texte ...")};
    MenuItem METext{"METext", QStringLiteral("Eigener Text")};
    MenuItem MELekt{"MELekt", QStringLiteral("Eigene Lektionen")};
    MenuItem MausDatei{"MausDatei", QStringLiteral("Aus Datei")};
    MenuItem MAAbk{"MAAbk", QStringLiteral("Amateur-Abkürzungen")};
    MenuItem MWortgen{"MWortgen", QStringLiteral("Wortgenerator")};
    MenuItem MPruefung{"MPrüfung", QStringLiteral("Prüfungstext")};
    MenuItem Mk{"Mk", QStringLiteral("Konfiguration ...")};
    MenuItem Mdauermorsen{"Mdauermorsen", QStringLiteral("Dauermorsen")};
    MenuItem DruConf{"DruConf", QStringLiteral("Drucker")};
    MenuItem MInfo{"MInfo", QStringLiteral("Info")};
    MenuItem sp1{"sp1", QString()};
    MenuItem fuer{"fuer", QStringLiteral("für: ")};

    // The window's own key handler: sees every key typed in the window before the focused
    // control; setting the key code to 0 swallows the key.
    std::function<void(int& keyCode)> onKeyPress;

    // Every control, for the window's binding and for tests that look controls up by name.
    std::vector<Control*> all();
};

// The main window's controls.
Form1& form1();
// Replaces them with fresh ones in their design state (tests; the program makes them once).
void ResetForm1();
// Puts `form` in the place of the main window's controls and hands back the ones that were
// there: the exercise export runs on a copy, so the window never sees its run.
std::unique_ptr<Form1> ExchangeForm1(std::unique_ptr<Form1> form);
// Copies what the user set and sees (values, captions, texts, states, geometry) from one set of
// controls to another, without running any handler; timers are left as they are.
void CopyControls(Form1& from, Form1& to);
