#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "mainwindow/startup.h"
#include "mainwindow/ui/record_entries.h"
#include "mainwindow/ui/window_zoom.h"
#include "platform/display_meaning.h"
#include "platform/ui/accessibility_events.h"
#include "platform/ui/announcer.h"
#include "platform/user_settings.h"
#include "support/registry.h"
#include "window_rig.h"

// The main window as a screen reader and the keyboard meet it: everything is checked through
// Qt's accessibility interfaces, the way AT-SPI reads and drives the window.
class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void valueLabelsReadTheirValues();
    void spinButtonsFollowTheSettingsRules();
    void spinButtonsReportTheNumberShown();
    void decimalValuesReadWithTheCommaShown();
    void languageChoiceIsARadioGroup();
    void buttonsWithShortCaptionsSpeakGermanNames();
    void exerciseChosenFromAMenuIsAnnounced();
    void displayTextFollowsARun();
    void functionKeysRunAndWaitForKeyboardMode();
    void f4AndF7ActInKeyboardModeAndDrill();
    void otherFunctionKeysWaitWhileTheKeysAreTaken();
    void assistiveActionsRunTheHandlersOnce();
    void zoomScalesTheWindowAndIsRemembered();
};

namespace {

QAccessibleInterface* accessible(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }

// Records the accessibility events the window sends, as a screen reader would receive them.
struct EventLog {
    struct Entry {
        QObject* object;
        QAccessible::Event type;
        int position;
        QString text;
    };
    EventLog() {
        previous_ = WatchAccessibilityEvents([this](QAccessibleEvent& e) {
            Entry entry{e.object(), e.type(), -1, QString()};
            if (e.type() == QAccessible::TextInserted) {
                auto& inserted = static_cast<QAccessibleTextInsertEvent&>(e);
                entry.position = inserted.changePosition();
                entry.text = inserted.textInserted();
            } else if (e.type() == QAccessible::TextRemoved) {
                auto& removed = static_cast<QAccessibleTextRemoveEvent&>(e);
                entry.position = removed.changePosition();
                entry.text = removed.textRemoved();
            }
            entries.push_back(entry);
        });
    }
    ~EventLog() { WatchAccessibilityEvents(previous_); }
    int count(QObject* object, QAccessible::Event type) const {
        int n = 0;
        for (const Entry& e : entries) n += e.object == object && e.type == type;
        return n;
    }
    std::vector<Entry> entries;

private:
    std::function<void(QAccessibleEvent&)> previous_;
};

// Counts the runs of a model's handler while keeping the handler.
std::shared_ptr<int> countRuns(std::function<void()>& handler) {
    auto runs = std::make_shared<int>(0);
    handler = [inner = handler, runs] {
        ++*runs;
        if (inner) inner();
    };
    return runs;
}

}  // namespace

void AccessibilityTest::valueLabelsReadTheirValues() {
    WindowRig w;
    w.rig.startUp();
    Form1& f = w.rig.f;
    struct Row {
        const char* label;
        QString meaning;
        std::function<void()> change;
        QString shown;  // what the label shows after the change; empty: anything new
    };
    const std::vector<Row> rows{
        {"L_Gesch", u"Geschwindigkeit"_qs, [&] { f.UpDownGesch.setValue(65); }, u"65"_qs},
        {"L_Abst", u"Zeichenabstand"_qs, [&] { f.UpDownAbst.setValue(15); }, u"1,5"_qs},
        {"L_WAbst", u"Wortabstand"_qs, [&] { f.UpDownWAbst.setValue(20); }, u"2,0"_qs},
        {"L_Ton", u"Tonhöhe"_qs, [&] { f.UpDownTon.setValue(900); }, u"900"_qs},
        {"L_Anz", u"Gruppen"_qs, [&] { f.UpDownAnz.setValue(20); }, u"20"_qs},
        {"L_LT", QString(), [&] { f.LT.setValue(35); }, u"langer Ton 3,5"_qs},
        {"panschnitt", u"Schnitt"_qs, [&] { f.panschnitt.setCaption(u"57,0"_qs); }, u"57,0"_qs},
        {"Datum(1)", u"Uhrzeit"_qs, [&] { w.rig.clock.advance(61); }, QString()},
        {"Datum(0)", u"Datum"_qs, [&] { f.Datum0.setCaption(u"10.12.26"_qs); }, u"10.12.26"_qs},
        {"Minuten", u"Sekunden"_qs, [&] { f.Minuten.setCaption(u"42"_qs); }, u"42"_qs},
        {"pan_dau", u"Durchgänge"_qs, [&] { f.pan_dau.setCaption(u"7"_qs); }, u"7"_qs},
        {"L_Printer", u"Drucker"_qs, [&] { f.L_Printer.setCaption(u"PDF"_qs); }, u"PDF"_qs},
        {"Panel2", u"Übungsart"_qs, [&] { f.MRufzeichen.click(); }, u"Rufzeichen"_qs},
        {"pan1", u"Betriebsart"_qs, [&] { f.pan1.setCaption(u"Frage + Antwort"_qs); },
         u"Frage + Antwort"_qs},
    };
    for (const Row& row : rows) {
        auto* label = w.find<QLabel>(row.label);
        QAccessibleInterface* iface = accessible(label);
        QVERIFY2(iface, row.label);
        const QString before = iface->text(QAccessible::Value);
        EventLog log;
        row.change();
        const QString shown = iface->text(QAccessible::Value);
        QCOMPARE(shown, label->text());
        if (row.shown.isEmpty())
            QVERIFY2(shown != before, row.label);
        else
            QCOMPARE(shown, row.shown);
        // "meaning: value", or the caption alone where it names itself.
        QCOMPARE(iface->text(QAccessible::Name),
                 row.meaning.isEmpty() ? shown : row.meaning + u": "_qs + shown);
        QVERIFY2(!iface->text(QAccessible::Description).isEmpty(), row.label);
        QVERIFY2(log.count(label, QAccessible::NameChanged) >= 1, row.label);
    }
    // A label redrawn for its colour or state keeps its text, and nothing is read out anew.
    auto* average = w.find<QLabel>("panschnitt");
    EventLog redrawn;
    f.panschnitt.setBackColor(RGB(255, 255, 255));
    f.panschnitt.setBackColor(RGB(224, 224, 224));
    f.panschnitt.setEnabled(false);
    QCOMPARE(average->palette().color(QPalette::Window), QColor(224, 224, 224));
    QVERIFY(!average->isEnabled());
    QCOMPARE(average->text(), u"57,0"_qs);
    QVERIFY(redrawn.count(average, QAccessible::NameChanged) == 0);
}

void AccessibilityTest::spinButtonsFollowTheSettingsRules() {
    WindowRig w;
    w.rig.startUp();
    Form1& f = w.rig.f;
    SharedState& s = w.rig.s;
    QVERIFY(w.showActive());
    struct Row {
        ValueControl& model;
        QString name;
        double min, max, step, start;
        float* shared;  // the setting the change handler writes
        QString labelAfterStep;
    };
    const std::vector<Row> rows{
        {f.UpDownGesch, u"Geschw."_qs, 20, 200, 5, 60, &s.Speed, u"65"_qs},
        {f.UpDownAbst, u"Zei-Abst."_qs, 1.0, 5.0, 0.1, 1.0, &s.CharSpacing, u"1,1"_qs},
        {f.UpDownWAbst, u"Wortabst."_qs, 1.0, 5.0, 0.1, 1.0, &s.WordSpacing, u"1,1"_qs},
        {f.UpDownTon, u"Tonhöhe"_qs, 600, 1000, 10, 800, &s.TonePitch, u"810"_qs},
        {f.UpDownAnz, u"Gruppen"_qs, 1, 30, 1, 12, &s.GroupCount, u"13"_qs},
    };
    for (const Row& row : rows) {
        const QByteArray name = row.model.objectName().toLatin1();
        auto* spin = w.find<QWidget>(name.constData());
        QAccessibleInterface* iface = accessible(spin);
        QCOMPARE(iface->role(), QAccessible::SpinBox);
        QCOMPARE(iface->text(QAccessible::Name), row.name);
        QAccessibleValueInterface* value = iface->valueInterface();
        QVERIFY2(value, name);
        QCOMPARE(value->minimumValue().toDouble(), row.min);
        QCOMPARE(value->maximumValue().toDouble(), row.max);
        QCOMPARE(value->minimumStepSize().toDouble(), row.step);
        QCOMPARE(value->currentValue().toDouble(), row.start);

        // Set through the interface: the change handler runs once and writes the setting
        // and the label; the reader hears the label's text as the value.
        auto runs = countRuns(row.model.onChange);
        EventLog log;
        value->setCurrentValue(row.start + row.step);
        QCOMPARE(*runs, 1);
        QCOMPARE(*row.shared, float(row.start + row.step));
        QCOMPARE(iface->text(QAccessible::Value), row.labelAfterStep);
        QCOMPARE(log.count(spin, QAccessible::ValueChanged), 1);
        if (row.shared == &s.Speed) QCOMPARE(s.StartSpeed, 60.0f);

        // The keyboard: one step, five steps, and never past the ends.
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_Down);
        QCOMPARE(value->currentValue().toDouble(), row.start);
        QTest::keyClick(spin, Qt::Key_PageDown);
        QCOMPARE(value->currentValue().toDouble(), std::max(row.min, row.start - 5 * row.step));
        value->setCurrentValue(row.max + 100);
        QCOMPARE(value->currentValue().toDouble(), row.max);
        QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(value->currentValue().toDouble(), row.max);
        // Page Down from the bottom changes nothing and runs nothing.
        QCOMPARE(*runs, row.start - 5 * row.step >= row.min ? 4 : 3);
    }
    // The heading names its spin button; the slider has its name and value.
    QAccessibleInterface* slider = accessible(w.find<QSlider>("LT"));
    QCOMPARE(slider->text(QAccessible::Name), u"langer Ton"_qs);
    f.LT.setValue(36);
    QCOMPARE(slider->valueInterface()->currentValue().toInt(), 36);
    slider->valueInterface()->setCurrentValue(37);
    QCOMPARE(f.LT.value(), 37);
    QCOMPARE(f.L_LT.caption(), u"langer Ton 3,7"_qs);
    const auto labelled =
        accessible(w.find<QWidget>("UpDownTon"))->relations(QAccessible::Label);
    QCOMPARE(labelled.size(), 1);
    QCOMPARE(labelled.front().first->text(QAccessible::Name), u"Tonhöhe"_qs);
}

void AccessibilityTest::spinButtonsReportTheNumberShown() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
    WindowRig w;
    w.rig.startUp();
    Form1& f = w.rig.f;
    SharedState& s = w.rig.s;
    s.Speed = 100;
    s.TonePitch = 700;
    s.GroupCount = 20;
    s.CharSpacing = 1.5f;
    f.Comsave_cst.click();
    f.C_Default.click();

    // Loading shows the saved values in the labels and leaves the arrows where they were;
    // a screen reader gets what the screen shows, and hears of each change once.
    struct Row {
        const char* name;
        double shown;
        QString text;
    };
    const std::vector<Row> rows{
        {"UpDownGesch", 100, u"100"_qs},
        {"UpDownTon", 700, u"700"_qs},
        {"UpDownAnz", 20, u"20"_qs},
        {"UpDownAbst", 1.5, u"1,5"_qs},
    };
    EventLog log;
    f.comload_cst.click();
    for (const Row& row : rows) {
        auto* spin = w.find<QWidget>(row.name);
        QAccessibleInterface* iface = accessible(spin);
        QCOMPARE(iface->valueInterface()->currentValue().toDouble(), row.shown);
        QCOMPARE(iface->text(QAccessible::Value), row.text);
        QVERIFY2(log.count(spin, QAccessible::ValueChanged) == 1, row.name);
    }
    QCOMPARE(f.UpDownGesch.value(), 60);  // the arrows' own position did not move

    // "Standard" and a speed effect set the label alone, too.
    auto* speed = w.find<QWidget>("UpDownGesch");
    QAccessibleValueInterface* value = accessible(speed)->valueInterface();
    f.C_Default.click();
    QCOMPARE(value->currentValue().toDouble(), 60.0);
    QCOMPARE(log.count(speed, QAccessible::ValueChanged), 2);
    f.L_Gesch.setCaption(u" 62"_qs);  // as a speed effect writes it
    QCOMPARE(value->currentValue().toDouble(), 62.0);
    QCOMPARE(log.count(speed, QAccessible::ValueChanged), 3);
    // The same number again is no change.
    f.L_Gesch.setCaption(u" 62"_qs);
    QCOMPARE(log.count(speed, QAccessible::ValueChanged), 3);
}

void AccessibilityTest::decimalValuesReadWithTheCommaShown() {
    WindowRig w;
    w.rig.startUp();
    Form1& f = w.rig.f;
    // Orca speaks a spin button's text before its number: the text is the label's "1,0", so
    // the learner hears a decimal comma, not "1.0".
    for (const char* name : {"UpDownAbst", "UpDownWAbst"}) {
        QAccessibleInterface* iface = accessible(w.find<QWidget>(name));
        QCOMPARE(iface->text(QAccessible::Value), u"1,0"_qs);
        QAccessibleTextInterface* text = iface->textInterface();
        QVERIFY2(text, name);
        QCOMPARE(text->text(0, text->characterCount()), u"1,0"_qs);
        QVERIFY(iface->state().readOnly);
    }
    f.UpDownAbst.setValue(13);
    QAccessibleTextInterface* spacing = accessible(w.find<QWidget>("UpDownAbst"))->textInterface();
    QCOMPARE(spacing->text(0, spacing->characterCount()), u"1,3"_qs);
}

void AccessibilityTest::languageChoiceIsARadioGroup() {
    WindowRig w;
    w.rig.startUp();
    Form1& f = w.rig.f;
    QAccessibleInterface* german = accessible(w.find<QRadioButton>("deutsch"));
    QAccessibleInterface* english = accessible(w.find<QRadioButton>("englisch"));
    // Radio buttons ("Optionsfeld"), not check boxes, in the group "Wörterbuch".
    QCOMPARE(german->role(), QAccessible::RadioButton);
    QCOMPARE(english->role(), QAccessible::RadioButton);
    QCOMPARE(german->text(QAccessible::Name), u"deutsch"_qs);
    QCOMPARE(german->parent()->text(QAccessible::Name), u"Wörterbuch"_qs);
    QVERIFY(german->state().checkable && german->state().checked);
    QVERIFY(!english->state().checked);
    // Choosing one through its action is a click: the model decides, one handler run.
    auto runs = countRuns(f.englisch.onClick);
    QVERIFY(english->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));
    english->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(*runs, 1);
    QVERIFY(f.englisch.value() && !f.deutsch.value());
    QVERIFY(english->state().checked && !german->state().checked);
    // The chosen one stays chosen when toggled again.
    english->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(f.englisch.value() && english->state().checked);
}

void AccessibilityTest::buttonsWithShortCaptionsSpeakGermanNames() {
    WindowRig w;
    w.rig.startUp();
    Form1& f = w.rig.f;
    // The screen keeps the legacy captions; a listener hears what the button does, in German.
    const struct {
        const char* name;
        QString caption;
        QString spoken;
    } rows[] = {
        {"comload_cst", u"Load"_qs, u"Einstellungen laden"_qs},
        {"Comsave_cst", u"Save"_qs, u"Einstellungen speichern"_qs},
        {"Command2", u"v vorne"_qs, u"Von vorne vorlesen"_qs},
        {"com_s1", u"S1"_qs, u"Klang S1"_qs},
        {"COM_S2", u"S2"_qs, u"Klang S2"_qs},
        {"com_s3", u"S3"_qs, u"Klang S3"_qs},
    };
    for (const auto& row : rows) {
        auto* button = w.find<QPushButton>(row.name);
        QVERIFY2(button, row.name);
        QCOMPARE(button->text(), row.caption);
        QAccessibleInterface* iface = accessible(button);
        QCOMPARE(iface->text(QAccessible::Name), row.spoken);
        QVERIFY2(!iface->text(QAccessible::Description).isEmpty(), row.name);
    }
    // The model redrawing the button (disabled during a run, enabled again) keeps the name.
    f.comload_cst.setEnabled(false);
    f.comload_cst.setEnabled(true);
    QCOMPARE(accessible(w.find<QPushButton>("comload_cst"))->text(QAccessible::Name),
             u"Einstellungen laden"_qs);
    // Pressed through the accessibility action, "Einstellungen speichern" saves as a click does.
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
    auto runs = countRuns(f.Comsave_cst.onClick);
    accessible(w.find<QPushButton>("Comsave_cst"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(*runs, 1);
    QVERIFY(QFile::exists(dir.filePath(u"MORSE.CST"_qs)));
}

void AccessibilityTest::exerciseChosenFromAMenuIsAnnounced() {
    WindowRig w;
    w.rig.startUp();
    auto* announcer = w.window.findChild<Announcer*>(u"Ansage"_qs);
    QVERIFY(announcer);
    QCOMPARE(accessible(announcer)->role(), QAccessible::Notification);
    QSignalSpy announced(announcer, &Announcer::announced);
    auto* groups = w.window.menuBar()->findChild<QMenu*>(u"MGruppen"_qs);
    const auto choose = [&](const char* entry) {
        emit groups->aboutToShow();
        groups->findChild<QAction*>(QString::fromLatin1(entry))->trigger();
    };
    // The heading changes away from the focus, which goes back to where it was.
    choose("MBuchstaben");
    QTest::qWait(400);
    announced.clear();
    choose("MRufzeichen");
    QCOMPARE(w.rig.f.Panel2.caption(), u"Rufzeichen"_qs);
    QTRY_COMPARE(announced.size(), 1);
    QCOMPARE(announced.last().at(0).toString(), u"Übungsart: Rufzeichen"_qs);
    QCOMPARE(accessible(announcer)->text(QAccessible::Name), u"Übungsart: Rufzeichen"_qs);
    // The same kind again changes nothing and is not told again.
    choose("MRufzeichen");
    QTest::qWait(400);
    QCOMPARE(announced.size(), 1);
    choose("MZahlen");
    QTRY_COMPARE(announced.size(), 2);
    QCOMPARE(announced.last().at(0).toString(), u"Übungsart: "_qs + w.rig.f.Panel2.caption());
}

void AccessibilityTest::displayTextFollowsARun() {
    WindowRig w;
    w.rig.startUp();
    Form1& f = w.rig.f;
    auto* display = w.find<QWidget>("shape1");
    QAccessibleInterface* iface = accessible(display);
    QCOMPARE(iface->text(QAccessible::Name), u"Textanzeige"_qs);
    QVERIFY(iface->state().readOnly && iface->state().multiLine);
    QAccessibleTextInterface* text = iface->textInterface();
    QVERIFY(text);

    // A short run of groups, echoed character by character.
    f.UpDownAnz.setValue(2);
    QString heard = text->text(0, text->characterCount());
    EventLog log;
    f.Comstart.click();
    const QString shown = text->text(0, text->characterCount());
    // The display shows the zero as its own glyph.
    const QString sent = w.rig.s.SentText.simplified().replace(u'0', w.rig.s.ZeroGlyph);
    QVERIFY2(sent.size() >= 10, qPrintable(sent));
    // The preamble first, then the groups as sent.
    QString flat = shown;
    flat.remove(u'\n');
    QVERIFY2(flat.indexOf(u"vvv"_qs, 0, Qt::CaseInsensitive) >= 0, qPrintable(shown));
    const qsizetype groupsAt = flat.indexOf(sent.section(u' ', 0, 0));
    QVERIFY2(groupsAt > flat.indexOf(u"vvv"_qs, 0, Qt::CaseInsensitive), qPrintable(shown));
    QString groups = flat.mid(groupsAt).simplified();
    QVERIFY2(groups.startsWith(sent), qPrintable(groups));

    // The events alone rebuild the text a screen reader has heard.
    int inserts = 0;
    for (const EventLog::Entry& e : log.entries) {
        if (e.object != display) continue;
        if (e.type == QAccessible::TextInserted) {
            heard.insert(e.position, e.text);
            ++inserts;
        } else if (e.type == QAccessible::TextRemoved) {
            QCOMPARE(heard.mid(e.position, e.text.size()), e.text);
            heard.remove(e.position, e.text.size());
        }
    }
    QVERIFY(inserts >= sent.size());
    QCOMPARE(heard, shown);

    // Clearing the display clears the text.
    f.comloe.click();
    QCOMPARE(text->characterCount(), 0);
    QVERIFY(log.count(display, QAccessible::TextRemoved) >= 1);

    // A colour with a meaning is also said in words.
    WidgetSurface& surface = w.window.surface();
    surface.CurrentX = f.shape1.Left + 300;
    surface.CurrentY = f.shape1.Top + 120;
    surface.Print(u"A"_qs);
    DisplayMeaning() = u"nicht erkannt"_qs;
    surface.Print(u"K"_qs);
    DisplayMeaning().clear();
    QCOMPARE(text->text(0, text->characterCount()), u"AK"_qs);
    QVERIFY(iface->text(QAccessible::Description).contains(u"K (nicht erkannt)"_qs));
}

void AccessibilityTest::functionKeysRunAndWaitForKeyboardMode() {
    WindowRig w;
    w.rig.startUp();
    QVERIFY(w.showActive());
    Form1& f = w.rig.f;
    SharedState& s = w.rig.s;
    QCOMPARE(w.find<QPushButton>("Comstart")->toolTip(), u"Start (F5)"_qs);
    QCOMPARE(accessible(w.find<QPushButton>("Comstart"))->text(QAccessible::Name), u"Start"_qs);

    // F5 starts, F6 pauses and continues, F7 stops: a whole run on the virtual clock.
    bool paused = false, continued = false;
    int sentAtStop = -1;
    w.rig.clock.at(5.0, [&] {
        QTest::keyClick(&w.window, Qt::Key_F6);
        paused = s.Paused && f.compause.face() == u"weiter";
    });
    w.rig.clock.at(8.0, [&] {
        QTest::keyClick(&w.window, Qt::Key_F6);
        continued = !s.Paused;
    });
    w.rig.clock.at(12.0, [&] {
        QTest::keyClick(&w.window, Qt::Key_F7);
        sentAtStop = int(s.SentText.size());
    });
    auto starts = countRuns(f.Comstart.onClick);
    QTest::keyClick(&w.window, Qt::Key_F5);
    QCOMPARE(*starts, 1);
    QVERIFY(paused);
    QVERIFY(continued);
    QVERIFY(s.StopRequested);
    QVERIFY(sentAtStop > 0 && s.SentText.size() - sentAtStop <= 1);
    QVERIFY(f.Comstart.enabled());

    // Free, F6 and F7 act.
    auto pauses = countRuns(f.compause.onClick);
    auto stops = countRuns(f.comstop.onClick);
    f.compause.setEnabled(true);
    f.comstop.setEnabled(true);
    QTest::keyClick(&w.window, Qt::Key_F6);
    QTest::keyClick(&w.window, Qt::Key_F7);
    QCOMPARE(*pauses, 1);
    QCOMPARE(*stops, 1);

    // Alt and a letter open the menus.
    QCOMPARE(QKeySequence::mnemonic(w.find<QMenu>("MGruppen")->menuAction()->text()),
             QKeySequence(Qt::ALT | Qt::Key_G));
    QCOMPARE(QKeySequence::mnemonic(w.find<QMenu>("MTexte")->menuAction()->text()),
             QKeySequence(Qt::ALT | Qt::Key_T));
    QCOMPARE(QKeySequence::mnemonic(w.find<QMenu>("Mk")->menuAction()->text()),
             QKeySequence(Qt::ALT | Qt::Key_K));
}

namespace {
// The main window with its twelve function keys, each counting what it would click instead of
// running it: the keys' gate is under test, not the handlers.
struct FunctionKeyRig {
    FunctionKeyRig() {
        w.rig.startUp();
        AddRecordEntries(w.window, nullptr, dir.filePath(u"lernstand.sqlite"_qs), QString());
        Form1& f = w.rig.f;
        // F12 opens "Mitschrift", a menu entry with its own shortcut.
        auto* copyAction = w.window.findChild<QAction*>(u"MMitschrift"_qs);
        QObject::disconnect(copyAction, &QAction::triggered, nullptr, nullptr);
        QObject::connect(copyAction, &QAction::triggered, [this] { ++runs[11]; });
        std::function<void()>* handlers[] = {
            &f.MInfo.onClick,    &f.com_vorlesen.onClick, &f.Com_Tastatur.onClick,
            &f.C_Hoeren.onClick, &f.Comstart.onClick,     &f.compause.onClick,
            &f.comstop.onClick,  &f.COM_vvv.onClick,      &f.COM_FA.onClick,
            &f.comloe.onClick,   &f.comexit.onClick,
        };
        for (size_t i = 0; i < std::size(handlers); ++i) *handlers[i] = [this, i] { ++runs[i]; };
        for (Button* b : {&f.com_vorlesen, &f.Comstart, &f.compause, &f.comstop, &f.COM_vvv,
                          &f.comloe, &f.comexit})
            b->setEnabled(true);
    }
    // Keyboard mode or the drill takes the keys, or neither.
    void takeKeys(bool keyboardMode, bool drill) {
        w.rig.s.KeyboardMode = keyboardMode;
        w.rig.f.COM_FA.setPressed(drill);
    }
    // Presses F1 + `index` and returns how often its control ran.
    int press(int index) {
        runs.fill(0);
        QTest::keyClick(&w.window, Qt::Key(Qt::Key_F1 + index));
        return runs[size_t(index)];
    }

    QTemporaryDir dir;
    WindowRig w;
    std::array<int, 12> runs{};
};
}  // namespace

void AccessibilityTest::f4AndF7ActInKeyboardModeAndDrill() {
    FunctionKeyRig k;
    QVERIFY(k.w.showActive());
    // They type no character, so they cannot collide with typing: "Hören" and "Stop" are the
    // way out of keyboard mode and the drill.
    for (const bool keyboard : {true, false}) {
        k.takeKeys(keyboard, !keyboard);
        QVERIFY2(k.press(3) == 1, keyboard ? "F4, keyboard mode" : "F4, drill");
        k.takeKeys(keyboard, !keyboard);
        QVERIFY2(k.press(6) == 1, keyboard ? "F7, keyboard mode" : "F7, drill");
    }
}

void AccessibilityTest::otherFunctionKeysWaitWhileTheKeysAreTaken() {
    FunctionKeyRig k;
    QVERIFY(k.w.showActive());
    for (const bool keyboard : {true, false}) {
        for (int index = 0; index < 12; ++index) {
            if (index == 3 || index == 6) continue;
            k.takeKeys(keyboard, !keyboard);
            QVERIFY2(k.press(index) == 0,
                     qPrintable(QStringLiteral("F%1 acted in %2")
                                    .arg(index + 1)
                                    .arg(keyboard ? u"keyboard mode"_qs : u"the drill"_qs)));
        }
    }
    // Free, all twelve act.
    k.takeKeys(false, false);
    QStringList idle;
    for (int index = 0; index < 12; ++index)
        if (k.press(index) != 1) idle << QStringLiteral("F%1").arg(index + 1);
    QVERIFY2(idle.isEmpty(), qPrintable(idle.join(u' ')));
}

void AccessibilityTest::assistiveActionsRunTheHandlersOnce() {
    WindowRig w;
    w.rig.startUp();
    QVERIFY(w.showActive());
    Form1& f = w.rig.f;
    // "5%" toggled through its action: ticked in the model, its click sound played once.
    QAccessibleInterface* box = accessible(w.find<QCheckBox>("anziehen1"));
    QVERIFY(
        box->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    auto boxRuns = countRuns(f.anziehen1.onClick);
    w.rig.wave.played.clear();
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(f.anziehen1.value(), 1);
    QCOMPARE(*boxRuns, 1);
    QCOMPARE(w.rig.wave.played, QStringList{u".\\alfa\\S12.wav"_qs});
    QVERIFY(box->state().checked);
    // A handler that refuses the change wins over the action.
    f.Mund.onClick = [&] { f.Mund.setValue(0); };
    accessible(w.find<QCheckBox>("Mund"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(f.Mund.value(), 0);
    QVERIFY(!w.find<QCheckBox>("Mund")->isChecked());
    // The program's own change still runs the handler once and shows.
    f.anziehen1.setValue(0);
    QCOMPARE(*boxRuns, 2);
    QVERIFY(!box->state().checked);

    // An option button selected through its action.
    auto optionRuns = countRuns(f.englisch.onClick);
    accessible(w.find<QRadioButton>("englisch"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(f.englisch.value());
    QVERIFY(!f.deutsch.value());
    QCOMPARE(*optionRuns, 1);

    // Text set in the keyboard box through the editable-text interface counts as typed: the
    // window's key handler first, then the box's; a swallowed key stays out.
    auto* typing = w.find<QPlainTextEdit>("Text2");
    f.Text2.setVisible(true);
    std::vector<int> order;
    f.onKeyPress = [&](int& code) {
        order.push_back(-code);
        if (code == 'k') code = 0;
    };
    f.Text2.onKeyPress = [&](int& code) { order.push_back(code); };
    accessible(typing)->editableTextInterface()->insertText(0, u"ak"_qs);
    QCOMPARE(order, (std::vector<int>{-'a', 'a', -'k'}));
    QCOMPARE(f.Text2.text(), u"a"_qs);
    QCOMPARE(typing->toPlainText(), u"a"_qs);

    // A button pressed through its action.
    auto loeRuns = countRuns(f.comloe.onClick);
    accessible(w.find<QPushButton>("comloe"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(*loeRuns, 1);
}

void AccessibilityTest::zoomScalesTheWindowAndIsRemembered() {
    OpenUserSettings()->remove(u"window/zoomPercent"_qs);
    {
        WindowRig w;
        QVERIFY(w.showActive());
        WindowZoom& zoom = w.window.zoom();
        auto* start = w.find<QPushButton>("Comstart");
        auto* speed = w.find<QWidget>("L_Gesch");
        const QRect startAt = start->geometry();
        const QSize icon = start->iconSize();
        const int clientWidth = w.window.centralWidget()->width();
        const int fontPixels = speed->font().pixelSize();
        auto* box = w.find<QCheckBox>("vari");
        const int mark = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box);
        zoom.setPercent(150);
        QVERIFY(std::abs(box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) -
                         mark * 1.5) <= 1);
        QCOMPARE(w.window.centralWidget()->width(), qRound(clientWidth * 1.5));
        QVERIFY(std::abs(start->geometry().left() - startAt.left() * 1.5) <= 1);
        QVERIFY(std::abs(start->width() - startAt.width() * 1.5) <= 1);
        QVERIFY(std::abs(speed->font().pixelSize() - fontPixels * 1.5) <= 1);
        QCOMPARE(w.window.surface().zoom(), 1.5);
        QVERIFY(std::abs(start->iconSize().width() - icon.width() * 1.5) <= 1);
        // The keys step within 100 to 200 %.
        QTest::keyClick(&w.window, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(zoom.percent(), 160);
        for (int i = 0; i < 10; ++i) QTest::keyClick(&w.window, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(zoom.percent(), 100);
        QCOMPARE(start->geometry(), startAt);
        zoom.setPercent(250);
        QCOMPARE(zoom.percent(), 200);
        QTest::keyClick(&w.window, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(zoom.percent(), 100);
        zoom.setPercent(130);
    }
    {
        WindowRig w;
        w.window.zoom().restore();
        QCOMPARE(w.window.zoom().percent(), 130);
    }
    // Nothing remembered: the zoom follows the desktop's font size.
    OpenUserSettings()->remove(u"window/zoomPercent"_qs);
    const QFont desktop = QApplication::font();
    QFont large = desktop;
    large.setPointSizeF(15);
    QApplication::setFont(large);
    {
        WindowRig w;
        w.window.zoom().restore();
        QCOMPARE(w.window.zoom().percent(), 150);
    }
    QApplication::setFont(desktop);
}

REGISTER_TEST(AccessibilityTest);
#include "accessibility_test.moc"
