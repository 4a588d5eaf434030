#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <utility>
#include <vector>

#include "support/registry.h"
#include "window_rig.h"

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasItsNameAndAGermanAccessibleName();
    void captionsAreExact();
    void menuBarCaptionsAndOrder();
    void checkBoxesMirrorBothWays();
    void buttonsLabelsAndOptionsMirrorBothWays();
    void valueControlsAndProgress();
    void textBoxTakesTypedKeys();
    void windowSeesKeysFirst();
    void pauseHandsTheFocusToTheDisplay();
};

namespace {
const char* const kInventory[] = {
    "Datum(1)",     "Minuten",     "Panel2",      "pan1",       "Image1",       "Datum(0)",
    "L_Printer",    "Line1",       "Line2",       "Shape4",     "Dauermorsen",  "pan_dau",
    "Frame2",       "comload_cst", "Comsave_cst", "C_Default",  "com_vorlesen", "Command2",
    "Framesprache", "deutsch",     "englisch",    "Frame1",     "Auge",         "Ohr",
    "Mund",         "PB1",         "Label11",     "Picture1",   "Text2",        "Command1",
    "Com_Tastatur", "COM_FA",      "C_Hoeren",    "L_LT",       "LT",           "Label13",
    "Label14",      "Shape2",      "Shape3",      "Label6",     "L_Gesch",      "UpDownGesch",
    "Label1",       "L_Abst",      "UpDownAbst",  "Label12",    "L_WAbst",      "UpDownWAbst",
    "anziehen1",    "anziehen2",   "O_Verkl",     "Label7",     "panschnitt",   "Label9",
    "L_Ton",        "UpDownTon",   "Label5",      "vari",       "unsauber",     "tonschwank",
    "Label3",       "L_Anz",       "UpDownAnz",   "Tonwerk1",   "Panel3D26",    "com_s1",
    "COM_S2",       "com_s3",      "Shape6",      "COM_vvv",    "Comstart",     "compause",
    "comstop",      "comloe",      "Command3D4",  "Command3D7", "Shape7",       "comexit",
    "shape1",       "Pic_Pause",   "Pic_Weiter",
};

// What a control shows the sighted user: its caption or, for pictures and shapes, nothing.
QString captionOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    return QString();
}

// The captions as shown, access-key marks aside.
QStringList actionTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* a : actions) texts << QString(a->text()).remove(u'&');
    return texts;
}
}  // namespace

void MainWindowTest::everyControlHasItsNameAndAGermanAccessibleName() {
    WindowRig w;
    for (const char* name : kInventory) {
        auto* widget = w.find<QWidget>(name);
        QVERIFY2(widget, name);
        // The reader hears the tooltip where there is one (its key in brackets aside), or a
        // short name with the tooltip as description; otherwise the caption.
        const QString heard = widget->accessibleName();
        QVERIFY2(!heard.isEmpty(), name);
        const QString tip =
            QString(widget->toolTip()).remove(QRegularExpression(u" \\(F\\d+\\)$"_qs));
        if (!tip.isEmpty())
            QVERIFY2(heard == tip || widget->accessibleDescription() == tip, name);
        else if (!captionOf(widget).isEmpty())
            // A caption that is English or cut short ("Load") is heard in German, and the
            // description names the caption the sighted see.
            QVERIFY2(heard == captionOf(widget) ||
                         widget->accessibleDescription().contains(captionOf(widget)),
                     name);
        else
            QVERIFY2(heard != QString::fromUtf8(name), name);
    }
    // Every control of the model has its widget or menu entry; timers need none.
    for (Control* c : w.rig.f.all()) {
        if (qobject_cast<Timer*>(c)) continue;
        QVERIFY2(w.window.findChild<QObject*>(c->objectName()), qPrintable(c->objectName()));
    }
    QCOMPARE(w.window.objectName(), QStringLiteral("form1"));
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Morse-Übungsprogramm von Zembrak"));
    QCOMPARE(w.find<QWidget>("L_Gesch")->accessibleName(), QStringLiteral("Geschwindigkeit"));
    QCOMPARE(w.find<QWidget>("L_Gesch")->accessibleDescription(),
             QStringLiteral("Geschwindigkeit in Zeichen pro Minute"));
    QCOMPARE(w.find<QWidget>("shape1")->accessibleName(), QStringLiteral("Textanzeige"));
    QCOMPARE(w.find<QWidget>("Com_Tastatur")->toolTip(), QStringLiteral("Schreibmaschine (F3)"));
    QCOMPARE(w.find<QWidget>("COM_FA")->toolTip(), QStringLiteral("Frage & Antwort (F9)"));
    QCOMPARE(w.find<QWidget>("C_Hoeren")->toolTip(), QStringLiteral("Hören (F4)"));
    QCOMPARE(w.find<QWidget>("comloe")->toolTip(), QStringLiteral("Löschen (F10)"));
    QCOMPARE(w.find<QWidget>("Comstart")->toolTip(), QStringLiteral("Start (F5)"));
    QCOMPARE(w.find<QWidget>("comexit")->toolTip(), QStringLiteral("Ende (F11)"));
    // The up-downs are arrows only, each arrow named for the reader.
    const auto arrows = w.find<QWidget>("UpDownGesch")->findChildren<QToolButton*>();
    QCOMPARE(arrows.size(), 2);
    QCOMPARE(arrows[0]->accessibleName(), QStringLiteral("Geschwindigkeit erhöhen"));
    QCOMPARE(arrows[1]->accessibleName(), QStringLiteral("Geschwindigkeit verringern"));
}

void MainWindowTest::captionsAreExact() {
    WindowRig w;
    const std::vector<std::pair<const char*, QString>> buttons{
        {"comload_cst", QStringLiteral("Load")},
        {"Comsave_cst", QStringLiteral("Save")},
        {"C_Default", QStringLiteral("Standard")},
        {"com_vorlesen", QStringLiteral("Vorlesen")},
        {"Command2", QStringLiteral("v vorne")},
        {"com_s1", QStringLiteral("S1")},
        {"COM_S2", QStringLiteral("S2")},
        {"com_s3", QStringLiteral("S3")},
        {"Command3D4", QStringLiteral("Ausdrucken")},
        {"Command3D7", QStringLiteral("Vorschub")},
        {"Dauermorsen", QStringLiteral("Dauermorsen")},
        {"Auge", QStringLiteral("Text zeigen")},
        {"Ohr", QStringLiteral("Sound an")},
        {"Mund", QStringLiteral("Buchstabieren an")},
        {"anziehen1", QStringLiteral("5%")},
        {"anziehen2", QStringLiteral("10%")},
        {"O_Verkl", QStringLiteral("langsam verkleinern")},
        {"vari", QStringLiteral("variable Länge")},
        {"unsauber", QStringLiteral("unsauber")},
        {"tonschwank", QStringLiteral("Tonschwankung")},
        {"deutsch", QStringLiteral("deutsch")},
        {"englisch", QStringLiteral("englisch")},
    };
    for (const auto& [name, text] : buttons) QCOMPARE(w.find<QAbstractButton>(name)->text(), text);
    for (const char* picture : {"COM_vvv", "Comstart", "compause", "comstop", "comloe", "comexit",
                                "Command1", "Com_Tastatur", "COM_FA", "C_Hoeren"}) {
        auto* b = w.find<QPushButton>(picture);
        QVERIFY2(b->text().isEmpty() && !b->icon().isNull(), picture);
    }
    const std::vector<std::pair<const char*, QString>> labels{
        {"Datum(1)", QStringLiteral("00:00")},    {"Minuten", QStringLiteral("0")},
        {"Panel2", QStringLiteral("Panel2")},     {"pan1", QStringLiteral("Hören")},
        {"Datum(0)", QStringLiteral("00:00:00")}, {"L_Printer", QStringLiteral("Printer")},
        {"pan_dau", QStringLiteral("12")},        {"Label11", QStringLiteral("Tastatur")},
        {"L_LT", QStringLiteral("langer Ton")},   {"Label13", QStringLiteral("3")},
        {"Label14", QStringLiteral("4")},         {"Label6", QStringLiteral("Geschw.")},
        {"L_Gesch", QStringLiteral("60")},        {"Label1", QStringLiteral("Zei-Abst.")},
        {"L_Abst", QStringLiteral("99,9")},       {"Label12", QStringLiteral("Wortabst.")},
        {"L_WAbst", QStringLiteral("99,9")},      {"Label7", QStringLiteral("Schnitt:")},
        {"panschnitt", QStringLiteral("999")},    {"Label9", QStringLiteral("Tonhöhe")},
        {"L_Ton", QStringLiteral("999")},         {"Label5", QStringLiteral("Hz")},
        {"Label3", QStringLiteral("Gruppen:")},   {"L_Anz", QStringLiteral("12")},
        {"Panel3D26", QStringLiteral("Sounds")},
    };
    for (const auto& [name, text] : labels) QCOMPARE(w.find<QLabel>(name)->text(), text);
    QCOMPARE(w.find<QGroupBox>("Frame2")->title(), QStringLiteral("Parameter"));
    QCOMPARE(w.find<QGroupBox>("Framesprache")->title(), QStringLiteral("Wörterbuch"));
    QCOMPARE(w.find<QGroupBox>("Frame1")->title(), QStringLiteral("SCHALTER"));
    // The controls inside a frame belong to it.
    QCOMPARE(w.find<QWidget>("comload_cst")->parentWidget()->objectName(),
             QStringLiteral("Frame2"));
    QCOMPARE(w.find<QWidget>("Mund")->parentWidget()->objectName(), QStringLiteral("Frame1"));
    QVERIFY(w.find<QRadioButton>("deutsch")->isChecked());
    QVERIFY(!w.find<QRadioButton>("englisch")->isChecked());
}

void MainWindowTest::menuBarCaptionsAndOrder() {
    WindowRig w;
    QMenuBar* bar = w.window.menuBar();
    QCOMPARE(actionTexts(bar->actions()),
             QStringList({QStringLiteral("Gruppen ..."), QStringLiteral("Texte ..."),
                          QStringLiteral("Konfiguration ..."), QStringLiteral("Info"), QString(),
                          QStringLiteral("für: ")}));
    QCOMPARE(actionTexts(w.find<QMenu>("MGruppen")->actions()),
             QStringList(
                 {QStringLiteral("Buchstaben"), QStringLiteral("Ziffern"),
                  QStringLiteral("Sonderzeichen"), QStringLiteral("Rufzeichen"),
                  QStringLiteral("Eigene Zeichen"), QStringLiteral("Buchstaben + \"99999\""),
                  QStringLiteral("Buchstaben + Ziffern"), QStringLiteral("Buchstaben + Sonderz."),
                  QStringLiteral("Bst + Ziffern + Sonderz.")}));
    QCOMPARE(actionTexts(w.find<QMenu>("MTexte")->actions()),
             QStringList({QStringLiteral("Eigener Text"), QStringLiteral("Eigene Lektionen"),
                          QStringLiteral("Aus Datei"), QStringLiteral("Amateur-Abkürzungen"),
                          QStringLiteral("Wortgenerator"), QStringLiteral("Prüfungstext")}));
    QCOMPARE(actionTexts(w.find<QMenu>("Mk")->actions()),
             QStringList({QStringLiteral("Dauermorsen"), QStringLiteral("Drucker")}));
    QCOMPARE(w.find<QAction>("MPrüfung")->text(), QStringLiteral("Prüfungstext"));
    QCOMPARE(w.find<QAction>("sp1")->text(), QString());

    // Choosing an entry runs its handler; a new caption shows at once.
    int clicks = 0;
    w.rig.f.MWortgen.onClick = [&] { ++clicks; };
    w.find<QAction>("MWortgen")->trigger();
    QCOMPARE(clicks, 1);
    w.rig.f.fuer.setCaption(QStringLiteral(" Version 1.0"));
    QCOMPARE(w.find<QAction>("fuer")->text(), QStringLiteral(" Version 1.0"));
    w.rig.f.MInfo.setEnabled(false);
    QVERIFY(!w.find<QAction>("MInfo")->isEnabled());
}

void MainWindowTest::checkBoxesMirrorBothWays() {
    WindowRig w;
    auto* ohr = w.find<QCheckBox>("Ohr");
    int handled = 0;
    int valueInHandler = -1;
    w.rig.f.Ohr.onClick = [&] {
        ++handled;
        valueInHandler = w.rig.f.Ohr.value();
    };
    w.rig.f.Ohr.setValue(1);
    QCOMPARE(ohr->checkState(), Qt::Checked);
    QCOMPARE(handled, 1);
    // Greyed, as during the preamble.
    w.rig.f.Ohr.setValue(2);
    QCOMPARE(ohr->checkState(), Qt::PartiallyChecked);
    // The user's click goes through the model and its handler; greyed becomes ticked.
    ohr->click();
    QCOMPARE(w.rig.f.Ohr.value(), 1);
    QCOMPARE(valueInHandler, 1);
    ohr->click();
    QCOMPARE(w.rig.f.Ohr.value(), 0);
    QCOMPARE(ohr->checkState(), Qt::Unchecked);
    QCOMPARE(handled, 4);
    // A handler that puts the value back wins over what the click would have shown.
    w.rig.f.Mund.onClick = [&] { w.rig.f.Mund.setValue(0); };
    w.find<QCheckBox>("Mund")->click();
    QCOMPARE(w.rig.f.Mund.value(), 0);
    QCOMPARE(w.find<QCheckBox>("Mund")->checkState(), Qt::Unchecked);
    // Disabled and hidden follow the model.
    w.rig.f.vari.setEnabled(false);
    QVERIFY(!w.find<QCheckBox>("vari")->isEnabled());
}

void MainWindowTest::buttonsLabelsAndOptionsMirrorBothWays() {
    WindowRig w;
    Form1& f = w.rig.f;
    auto* start = w.find<QPushButton>("Comstart");
    int starts = 0;
    bool pressedInHandler = false;
    f.Comstart.onClick = [&] {
        ++starts;
        pressedInHandler = f.Comstart.pressed();
    };
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(starts, 1);
    QVERIFY(pressedInHandler);
    f.Comstart.setEnabled(false);
    QVERIFY(!start->isEnabled());
    QTest::mouseClick(start, Qt::LeftButton);
    start->click();
    QCOMPARE(starts, 1);

    // The pause button's two faces, and a caption in place of a picture.
    auto* pause = w.find<QPushButton>("compause");
    QVERIFY(!pause->isEnabled());
    f.compause.setFace(QStringLiteral("weiter"));
    QCOMPARE(pause->toolTip(), QStringLiteral("Weiter (F6)"));
    QCOMPARE(pause->accessibleName(), QStringLiteral("Weiter"));
    f.compause.setFace(QStringLiteral("pause"));
    QCOMPARE(pause->toolTip(), QStringLiteral("Pause (F6)"));
    f.comexit.setCaption(QStringLiteral("Warten"));
    QCOMPARE(w.find<QPushButton>("comexit")->text(), QStringLiteral("Warten"));
    QVERIFY(w.find<QPushButton>("comexit")->icon().isNull());

    // Labels follow caption and colours; the printer label reports clicks.
    f.Panel2.setCaption(QStringLiteral("Buchst. + 1 Zahlengruppe"));
    QCOMPARE(w.find<QLabel>("Panel2")->text(), QStringLiteral("Buchst. + 1 Zahlengruppe"));
    auto* schnitt = w.find<QLabel>("panschnitt");
    QVERIFY(!schnitt->autoFillBackground());
    f.panschnitt.setBackColor(RGB(255, 255, 255));
    QVERIFY(schnitt->autoFillBackground());
    QCOMPARE(schnitt->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(w.find<QLabel>("Panel2")->palette().color(QPalette::Window), QColor(128, 0, 128));
    int printerClicks = 0;
    f.L_Printer.onClick = [&] { ++printerClicks; };
    QTest::mouseClick(w.find<QLabel>("L_Printer"), Qt::LeftButton);
    QCOMPARE(printerClicks, 1);

    // Option buttons: the click selects through the model, the other one clears.
    int english = 0;
    f.englisch.onClick = [&] { ++english; };
    w.find<QRadioButton>("englisch")->click();
    QVERIFY(f.englisch.value());
    QVERIFY(!f.deutsch.value());
    QVERIFY(w.find<QRadioButton>("englisch")->isChecked());
    QVERIFY(!w.find<QRadioButton>("deutsch")->isChecked());
    w.find<QRadioButton>("englisch")->click();
    QCOMPARE(english, 1);
    f.deutsch.setValue(true);
    QVERIFY(w.find<QRadioButton>("deutsch")->isChecked());
    QVERIFY(!w.find<QRadioButton>("englisch")->isChecked());
}

void MainWindowTest::valueControlsAndProgress() {
    WindowRig w;
    Form1& f = w.rig.f;
    int changes = 0;
    f.UpDownGesch.onChange = [&] { ++changes; };
    auto arrows = w.find<QWidget>("UpDownGesch")->findChildren<QToolButton*>();
    arrows[0]->click();
    QCOMPARE(f.UpDownGesch.value(), 65);
    arrows[1]->click();
    arrows[1]->click();
    QCOMPARE(f.UpDownGesch.value(), 55);
    QCOMPARE(changes, 3);
    // The arrows stop at the range.
    f.UpDownAnz.setValue(30);
    w.find<QWidget>("UpDownAnz")->findChildren<QToolButton*>()[0]->click();
    QCOMPARE(f.UpDownAnz.value(), 30);

    auto* slider = w.find<QSlider>("LT");
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    QCOMPARE(slider->minimum(), 30);
    QCOMPARE(slider->maximum(), 40);
    slider->setValue(35);
    QCOMPARE(f.LT.value(), 35);
    f.LT.setValue(32);
    QCOMPARE(slider->value(), 32);

    auto* bar = w.find<QProgressBar>("PB1");
    QCOMPARE(bar->orientation(), Qt::Vertical);
    f.PB1.setMax(60);
    f.PB1.setValue(12);
    QCOMPARE(bar->maximum(), 60);
    QCOMPARE(bar->value(), 12);
}

void MainWindowTest::textBoxTakesTypedKeys() {
    WindowRig w;
    QVERIFY(w.showActive());
    auto* box = w.find<QPlainTextEdit>("Text2");
    QVERIFY(box->isHidden());
    w.rig.f.Text2.setVisible(true);
    QVERIFY(box->isVisible());
    w.rig.f.Text2.SetFocus();
    QVERIFY(box->hasFocus());
    QCOMPARE(box->font().family(), QStringLiteral("Courier New"));
    QVERIFY(box->font().bold());

    std::vector<int> seen;
    w.rig.f.Text2.onKeyPress = [&](int& code) {
        seen.push_back(code);
        if (code == 'x') code = 0;
    };
    QTest::keyClicks(box, QStringLiteral("axb"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(w.rig.f.Text2.text(), QStringLiteral("ab\r\n"));
    QCOMPARE(seen, (std::vector<int>{'a', 'x', 'b', 13}));
    QCOMPARE(box->toPlainText(), QStringLiteral("ab\n"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(w.rig.f.Text2.text(), QStringLiteral("ab"));
    // The program's text shows in the box.
    w.rig.f.Text2.setText(QStringLiteral("Q"));
    QCOMPARE(box->toPlainText(), QStringLiteral("Q"));
    w.rig.f.Text2.setVisible(false);
    QVERIFY(box->isHidden());
}

void MainWindowTest::windowSeesKeysFirst() {
    WindowRig w;
    QVERIFY(w.showActive());
    Form1& f = w.rig.f;
    f.Text2.setVisible(true);
    f.Text2.SetFocus();
    auto* box = w.find<QPlainTextEdit>("Text2");
    QVERIFY(box->hasFocus());
    std::vector<int> order;
    f.onKeyPress = [&](int& code) {
        order.push_back(-code);
        if (code == 'k') code = 0;
        if (code == 'u') code = 'U';
    };
    f.Text2.onKeyPress = [&](int& code) { order.push_back(code); };
    QTest::keyClicks(box, QStringLiteral("aku"));
    // The window first, then the box; a swallowed key reaches nobody else, a changed one
    // arrives changed.
    QCOMPARE(order, (std::vector<int>{-'a', 'a', -'k', -'u', 'U'}));
    QCOMPARE(f.Text2.text(), QStringLiteral("aU"));
    QTest::keyClick(box, Qt::Key_Left);
    QCOMPARE(order.size(), size_t(5));

    // A key typed on a button also goes to the window first; swallowing it keeps the button
    // from being pressed.
    int starts = 0;
    f.Comstart.onClick = [&] { ++starts; };
    f.Comstart.SetFocus();
    f.onKeyPress = [&](int& code) {
        order.push_back(-code);
        code = 0;
    };
    QTest::keyClick(w.find<QPushButton>("Comstart"), Qt::Key_Space);
    QCOMPARE(order.back(), -' ');
    QCOMPARE(starts, 0);
}

void MainWindowTest::pauseHandsTheFocusToTheDisplay() {
    WindowRig w;
    w.rig.startUp();
    QVERIFY(w.showActive());
    Form1& f = w.rig.f;
    f.compause.setEnabled(true);
    // Space and Enter on the focus after pause and after continue press no button.
    for (const bool paused : {true, false}) {
        QTest::mouseClick(w.find<QPushButton>("compause"), Qt::LeftButton);
        QCOMPARE(w.rig.s.Paused, paused);
        // The focus is on the display, which a screen reader names.
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QCOMPARE(focus->objectName(), u"shape1"_qs);
        QCOMPARE(QAccessible::queryAccessibleInterface(focus)->text(QAccessible::Name),
                 u"Textanzeige"_qs);
        QTest::keyClick(focus, Qt::Key_Space);
        QTest::keyClick(focus, Qt::Key_Return);
        QCOMPARE(w.rig.s.Paused, paused);
    }
}

REGISTER_TEST(MainWindowTest);
#include "main_window_test.moc"
