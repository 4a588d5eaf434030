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
    Label Datum0{"Datum(0)"};      // date, "dd.MM.yy"
    Label Datum1{"Datum(1)"};      // time of day, "hh:mm"
    Label Minuten{"Minuten"};      // seconds since the run clock started
    Label Panel2{"Panel2"};        // title of the exercise kind
    Label pan1{"pan1"};            // mode: "Hören", "Frage + Antwort" ...
    Label L_Printer{"L_Printer"};  // name of the printer

    // Left part.
    CheckBox Dauermorsen{"Dauermorsen"};   // "Dauermorsen": continuous Morse
    Label pan_dau{"pan_dau"};              // runs of continuous Morse still to go
    Button comload_cst{"comload_cst"};     // "Load": load MORSE.CST
    Button Comsave_cst{"Comsave_cst"};     // "Save": save MORSE.CST
    Button C_Default{"C_Default"};         // "Standard": default settings
    Button com_vorlesen{"com_vorlesen"};   // "Vorlesen": read the sent text aloud
    Button Command2{"Command2"};           // "v vorne": read aloud from the beginning
    OptionButton deutsch{"deutsch"};       // "deutsch": German word list
    OptionButton englisch{"englisch"};     // "englisch": English word list
    CheckBox Auge{"Auge"};                 // "Text zeigen"
    CheckBox Ohr{"Ohr"};                   // "Sound an"
    CheckBox Mund{"Mund"};                 // "Buchstabieren an": spell aloud
    ProgressBar PB1{"PB1"};                // progress of the run
    TextBox Text2{"Text2"};                // keyboard box, the typed character
    Button Command1{"Command1"};           // picture: volume control
    Button Com_Tastatur{"Com_Tastatur"};   // picture "Schreibmaschine": keyboard mode
    Button COM_FA{"COM_FA"};               // picture "Frage & Antwort": question-and-answer drill
    Button C_Hoeren{"C_Hoeren"};           // picture "Hören": listening mode
    Label L_LT{"L_LT"};                    // "langer Ton"
    ValueControl LT{"LT", 30, 40, 1, 30};  // slider: dash length, tenths of a dot

    // Settings panel.
    Label L_Gesch{"L_Gesch"};                                 // speed [cpm] under "Geschw."
    ValueControl UpDownGesch{"UpDownGesch", 20, 200, 5, 60};  // arrows of the speed
    Label L_Abst{"L_Abst"};                                   // character spacing under "Zei-Abst."
    ValueControl UpDownAbst{"UpDownAbst", 10, 50, 1, 10};     // arrows of the spacing, tenths
    Label L_WAbst{"L_WAbst"};                                 // word spacing under "Wortabst."
    ValueControl UpDownWAbst{"UpDownWAbst", 10, 50, 1, 10};   // arrows of the spacing, tenths
    CheckBox anziehen1{"anziehen1"};                          // "5%": speed up by 4 % over the run
    CheckBox anziehen2{"anziehen2"};                          // "10%": speed up by 8 % over the run
    CheckBox O_Verkl{"O_Verkl"};     // "langsam verkleinern": spacing narrows over the run
    Label panschnitt{"panschnitt"};  // "Schnitt:": effective, after a run measured speed
    Label L_Ton{"L_Ton"};            // pitch [Hz] under "Tonhöhe"
    ValueControl UpDownTon{"UpDownTon", 600, 1000, 10, 800};  // arrows of the pitch
    CheckBox vari{"vari"};              // "variable Länge": groups of variable length
    CheckBox unsauber{"unsauber"};      // "unsauber": sloppy keying
    CheckBox tonschwank{"tonschwank"};  // "Tonschwankung": tone fluctuation
    Label L_Anz{"L_Anz"};               // number of groups under "Gruppen:"
    ValueControl UpDownAnz{"UpDownAnz", 1, 30, 1, 12};  // arrows of the number of groups

    // Button row.
    Button com_s1{"com_s1"};          // "S1": plays sound S1
    Button COM_S2{"COM_S2"};          // "S2": plays sound S2
    Button com_s3{"com_s3"};          // "S3": plays sound S3
    Button COM_vvv{"COM_vvv"};        // picture "vvv": test preamble
    Button Comstart{"Comstart"};      // picture: start
    Button compause{"compause"};      // picture: pause / continue
    Button comstop{"comstop"};        // picture: stop
    Button comloe{"comloe"};          // picture "Löschen": clear the display
    Button Command3D4{"Command3D4"};  // "Ausdrucken": print the sent text
    Button Command3D7{"Command3D7"};  // "Vorschub": form feed
    Button comexit{"comexit"};        // picture: leave the program

    // The display area the text is written on, and the timers.
    Shape shape1{"shape1", 90, 4590, 11355, 1965, RGB(224, 224, 224)};
    Timer Timer_Uhrzeit{"Timer_Uhrzeit", 1000};  // ticks the time of day
    Timer Timer2{"Timer2", 1000};                // ticks the seconds of a run

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
    MenuItem sp1{"sp1", QString()};                  // empty entry, a spacer
    MenuItem fuer{"fuer", QStringLiteral("für: ")};  // "für: ", then the version

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
