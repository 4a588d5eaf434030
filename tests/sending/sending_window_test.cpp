#include "sending/ui/sending_window.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QWindow>
#include <QTest>
#include <QWindow>

#include "platform/ui/accessibility_events.h"
#include "platform/ui/announcer.h"
#include "platform/ui/value_label.h"
#include "platform/user_settings.h"
#include "platform/virtual_clock.h"
#include "sending/sending_practice.h"
#include "sending/ui/fist_picture.h"
#include "sending/ui/key_area.h"
#include "sound/offline_output.h"
#include "sound/sidetone.h"
#include "support/audio_analysis.h"
#include "support/registry.h"

namespace {
constexpr uint32_t kLeftCtrl = 37;
constexpr uint32_t kRightCtrl = 105;

void ForgetSettings() { OpenUserSettings()->remove(QStringLiteral("Geben")); }

SendingWindowServices Services(Sidetone* sidetone, SoundOutput* output = nullptr) {
    SendingWindowServices s;
    s.sidetone = sidetone;
    s.output = output;
    s.timing = [](int weight) { return KeyerTiming::FromMs(40, 120, weight); };
    s.pitchHz = [] { return 650.0; };
    s.drawText = [n = 0](int) mutable { return QStringLiteral("TEXT%1").arg(++n); };
    s.serialPorts = [] {
        return std::vector<SerialPortEntry>{
            {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FTDI")},
            {QStringLiteral("/dev/ttyS0"), QString()}};
    };
    return s;
}

// A key as the window system delivers it, with its native scan code.
void Key(QWidget* target, QEvent::Type type, uint32_t scanCode, bool autoRepeat = false) {
    const Qt::Key key =
        scanCode == kLeftCtrl || scanCode == kRightCtrl ? Qt::Key_Control : Qt::Key_A;
    QKeyEvent event(type, key, Qt::NoModifier, scanCode, 0, 0, QString(), autoRepeat);
    // As from the platform: the window's QWindow takes the key first and hands it on to the
    // focus widget.
    QWindow* handle = target->window()->windowHandle();
    if (!handle) qFatal("the window is not shown");
    QApplication::sendEvent(handle, &event);
}

template <typename T>
T* Find(QWidget& window, const char* name) {
    auto* w = window.findChild<T*>(QLatin1String(name));
    if (!w) qFatal("no %s", name);
    return w;
}
}  // namespace

class SendingWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ForgetSettings(); }
    void cleanup() { ForgetSettings(); }
    void everyControlIsNamedAndShowsItsValue();
    void mouseAreaKeysTheSidetoneAndListsMarks();
    void ctrlKeysArePaddlesAndNeverShortcuts();
    void learnedKeysReplaceTheCtrlKeysAndAreRemembered();
    void choicesAreRemembered();
    void playbackSoundsWhatWasKeyed();
    void closingStopsTheTone();
    void exerciseControlsWorkFromAssistiveTechnology();
    void keyedCharactersAppearAndTheAttemptIsReported();
};

void SendingWindowTest::everyControlIsNamedAndShowsItsValue() {
    Sidetone tone(48000);
    SendingWindow window(Services(&tone));
    window.show();
    for (const char* name : {"Eingabe", "Keyer", "Anschluss", "MidiAnschluss"}) {
        auto* box = Find<QComboBox>(window, name);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(box);
        QVERIFY2(!a->text(QAccessible::Name).isEmpty(), name);
        QCOMPARE(a->text(QAccessible::Value), box->currentText());
        // Orca speaks the description of a closed combo box, not its value.
        QCOMPARE(a->text(QAccessible::Description), box->currentText());
    }
    Find<QComboBox>(window, "Keyer")->setCurrentIndex(1);
    QCOMPARE(QAccessible::queryAccessibleInterface(Find<QComboBox>(window, "Keyer"))
                 ->text(QAccessible::Description),
             QStringLiteral("Iambic A"));
    QAccessibleInterface* weight =
        QAccessible::queryAccessibleInterface(Find<QSpinBox>(window, "Gewichtung"));
    QCOMPARE(weight->text(QAccessible::Name), QStringLiteral("Gewichtung"));
    weight->valueInterface()->setCurrentValue(60);
    QCOMPARE(Find<QSpinBox>(window, "Gewichtung")->value(), 60);
    for (const char* name : {"TasteLernen", "AnschluesseSuchen", "MidiSuchen", "Abspielen",
                             "Loeschen", "Schliessen"}) {
        QVERIFY2(!QAccessible::queryAccessibleInterface(Find<QPushButton>(window, name))
                      ->text(QAccessible::Name)
                      .isEmpty(),
                 name);
    }
    QVERIFY(!QAccessible::queryAccessibleInterface(Find<QPlainTextEdit>(window, "Elemente"))
                 ->text(QAccessible::Name)
                 .isEmpty());
    // The ports with their descriptions; the serial port list is usable only for that input.
    auto* ports = Find<QComboBox>(window, "Anschluss");
    QCOMPARE(ports->count(), 2);
    QCOMPARE(ports->itemText(0), QStringLiteral("/dev/ttyUSB0 – FTDI"));
    QVERIFY(!ports->isEnabled());
    QVERIFY(Find<QLabel>(window, "FtdiHinweis")->text().contains(QStringLiteral("latency_timer")));

    // The key area tells a screen reader whether it is pressed, with an event on change.
    auto* area = Find<KeyArea>(window, "Tastflaeche");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(area);
    QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Tastfläche"));
    QCOMPARE(a->text(QAccessible::Value), QStringLiteral("offen"));
    QStringList heard;
    const auto previous = WatchAccessibilityEvents([&](QAccessibleEvent& e) {
        if (e.type() == QAccessible::ValueChanged && e.object() == area)
            heard << static_cast<QAccessibleValueChangeEvent&>(e).value().toString();
    });
    QTest::mousePress(area, Qt::LeftButton);
    QCOMPARE(a->text(QAccessible::Value), QStringLiteral("gedrückt"));
    QVERIFY(a->state().pressed);
    QTest::mouseRelease(area, Qt::LeftButton);
    WatchAccessibilityEvents(previous);
    QCOMPARE(heard, QStringList({QStringLiteral("gedrückt"), QStringLiteral("offen")}));
    // Its press action keys as a click does.
    QVERIFY(a->actionInterface());
    QSignalSpy contacts(area, &KeyArea::contactChanged);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(contacts.size(), 2);
}

void SendingWindowTest::mouseAreaKeysTheSidetoneAndListsMarks() {
    Sidetone tone(48000);
    SendingWindow window(Services(&tone));
    Find<QComboBox>(window, "Keyer")->setCurrentIndex(0);  // straight key
    Find<QComboBox>(window, "Eingabe")->setCurrentIndex(1);
    window.show();
    auto* area = Find<KeyArea>(window, "Tastflaeche");
    QTest::mousePress(area, Qt::LeftButton);
    QTRY_VERIFY(tone.keyDown());
    QTest::qWait(30);
    QTest::mouseRelease(area, Qt::LeftButton);
    QTRY_VERIFY(!tone.keyDown());
    QTest::qWait(20);
    QTest::mousePress(area, Qt::LeftButton);
    QTRY_VERIFY(tone.keyDown());
    // The first mark and the space after it are complete once the next mark begins.
    QTRY_COMPARE(window.elements().size(), size_t(2));
    const auto& e = window.elements();
    QVERIFY(e[0].mark && !e[1].mark);
    QVERIFY(e[0].durationMs >= 25);
    QCOMPARE(e[1].atUs, e[0].atUs + std::llround(e[0].durationMs * 1000));
    QVERIFY(Find<QPlainTextEdit>(window, "Elemente")->toPlainText().startsWith(u"Ton "));
    QTest::mouseRelease(area, Qt::LeftButton);
    QTRY_VERIFY(!tone.keyDown());
}

void SendingWindowTest::ctrlKeysArePaddlesAndNeverShortcuts() {
    Sidetone tone(48000);
    SendingWindow window(Services(&tone));
    Find<QComboBox>(window, "Keyer")->setCurrentIndex(1);  // iambic A
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* focus = Find<QComboBox>(window, "Eingabe");
    focus->setFocus();

    // The left Ctrl key, held with auto-repeat, makes dits until it is let go.
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Control, Qt::ControlModifier, kLeftCtrl, 0,
                       0);
    override.ignore();
    QApplication::sendEvent(focus, &override);
    QVERIFY(override.isAccepted());
    Key(focus, QEvent::KeyPress, kLeftCtrl);
    QTRY_VERIFY(tone.keyDown());
    for (int i = 0; i < 5; ++i) {
        Key(focus, QEvent::KeyRelease, kLeftCtrl, true);
        Key(focus, QEvent::KeyPress, kLeftCtrl, true);
    }
    QTest::qWait(200);
    Key(focus, QEvent::KeyRelease, kLeftCtrl);
    QTRY_VERIFY(window.elements().size() >= 4);  // several dits: the repeats released nothing
    for (const KeyedElement& e : window.elements()) {
        QCOMPARE(e.durationMs, 40.0);  // dits and their spaces, exactly as the keyer times them
    }
    // The right Ctrl key is the dah paddle.
    QTest::qWait(100);
    window.collectElements();
    const size_t before = window.elements().size();
    Key(focus, QEvent::KeyPress, kRightCtrl);
    Key(focus, QEvent::KeyRelease, kRightCtrl);
    // The pause before the dah, then the dah itself.
    QTRY_VERIFY(window.elements().size() >= before + 2);
    QCOMPARE(window.elements()[before + 1].durationMs, 120.0);
    // Another key is no contact and goes on to the window as usual.
    QKeyEvent other(QEvent::ShortcutOverride, Qt::Key_A, Qt::NoModifier, 38, 0, 0);
    other.ignore();
    QApplication::sendEvent(focus, &other);
    QVERIFY(!other.isAccepted());
}

void SendingWindowTest::learnedKeysReplaceTheCtrlKeysAndAreRemembered() {
    Sidetone tone(48000);
    {
        SendingWindow window(Services(&tone));
        Find<QComboBox>(window, "Keyer")->setCurrentIndex(2);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* prompt = Find<ValueLabel>(window, "Lernhinweis");
        // The prompt changes beside the focus: each request is announced to a screen reader.
        QSignalSpy announced(Find<Announcer>(window, "Ansage"), &Announcer::announced);
        QTest::mouseClick(Find<QPushButton>(window, "TasteLernen"), Qt::LeftButton);
        QVERIFY(prompt->text().contains(QStringLiteral("Punkt")));
        QCOMPARE(announced.size(), 1);
        QCOMPARE(announced.last().at(0).toString(), prompt->text());
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        Key(focus, QEvent::KeyPress, 52);  // taught keys make no tone
        Key(focus, QEvent::KeyRelease, 52);
        QVERIFY(prompt->text().contains(QStringLiteral("Strich")));
        QCOMPARE(announced.last().at(0).toString(), prompt->text());
        Key(focus, QEvent::KeyPress, 53);
        Key(focus, QEvent::KeyRelease, 53);
        QVERIFY(!prompt->text().contains(QStringLiteral("drücken")));
        QTest::qWait(50);
        QVERIFY(!tone.keyDown());
        QVERIFY(window.elements().empty());
    }
    const SendingSettings stored = LoadSendingSettings();
    QCOMPARE(stored.ditKey, 52u);
    QCOMPARE(stored.dahKey, 53u);
    // A new window keys with the taught key, and the Ctrl keys are plain keys again.
    SendingWindow window(Services(&tone));
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    Key(focus, QEvent::KeyPress, kLeftCtrl);
    QTest::qWait(30);
    QVERIFY(!tone.keyDown());
    Key(focus, QEvent::KeyRelease, kLeftCtrl);
    Key(focus, QEvent::KeyPress, 53);
    QTRY_VERIFY(tone.keyDown());
    Key(focus, QEvent::KeyRelease, 53);
    QTRY_VERIFY(!tone.keyDown());
}

void SendingWindowTest::choicesAreRemembered() {
    {
        SendingWindow window(Services(nullptr));
        Find<QComboBox>(window, "Eingabe")->setCurrentIndex(2);
        Find<QComboBox>(window, "Keyer")->setCurrentIndex(3);
        Find<QSpinBox>(window, "Gewichtung")->setValue(55);
        auto* ports = Find<QComboBox>(window, "Anschluss");
        QVERIFY(ports->isEnabled());
        ports->setCurrentIndex(1);
        emit ports->activated(1);
    }
    const SendingSettings s = LoadSendingSettings();
    QCOMPARE(s.source, KeySource::Serial);
    QCOMPARE(s.mode, KeyerMode::Ultimatic);
    QCOMPARE(s.weightPercent, 55);
    QCOMPARE(s.serialPort, QStringLiteral("/dev/ttyS0"));
    SendingWindow window(Services(nullptr));
    QCOMPARE(Find<QComboBox>(window, "Eingabe")->currentIndex(), 2);
    QCOMPARE(Find<QComboBox>(window, "Keyer")->currentIndex(), 3);
    QCOMPARE(Find<QComboBox>(window, "Anschluss")->currentIndex(), 1);
    // Without a serial input the window says so instead of failing.
    window.show();
    QVERIFY(!Find<ValueLabel>(window, "Status")->text().contains(QStringLiteral("bereit")));
}

void SendingWindowTest::playbackSoundsWhatWasKeyed() {
    VirtualClock clock;
    OfflineOutput output(clock, 48000);
    SendingWindow window(Services(nullptr, &output));
    Find<QComboBox>(window, "Keyer")->setCurrentIndex(0);
    Find<QComboBox>(window, "Eingabe")->setCurrentIndex(1);
    window.show();
    QCOMPARE(output.need(),
             (SoundNeed{.promptResponse = true, .keepOpen = true, .smallestBuffer = true}));
    auto* area = Find<KeyArea>(window, "Tastflaeche");
    for (int i = 0; i < 3; ++i) {
        QTest::mousePress(area, Qt::LeftButton);
        QTest::qWait(40);
        QTest::mouseRelease(area, Qt::LeftButton);
        QTest::qWait(40);
    }
    QTest::mousePress(area, Qt::LeftButton);
    QTRY_COMPARE(window.elements().size(), size_t(6));
    QTest::mouseRelease(area, Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(window, "Abspielen"), Qt::LeftButton);
    clock.advance(output.secondsQueued() + 0.1);
    const auto marks = audio::FindMarks(output.samples(), 24);
    QVERIFY(marks.size() >= 3);
    // Each mark as long as it was keyed (to the sample, within an edge's rounding).
    for (int i = 0; i < 3; ++i) {
        const double keyedMs = window.elements()[2 * i].durationMs;
        const double heardMs = (marks[i].last - marks[i].first) * 1000.0 / 48000;
        QVERIFY2(std::abs(heardMs - keyedMs) < 6, qPrintable(QString::number(heardMs)));
    }
    window.close();
    QCOMPARE(output.need(), SoundNeed{});
}

void SendingWindowTest::closingStopsTheTone() {
    Sidetone tone(48000);
    SendingWindow window(Services(&tone));
    Find<QComboBox>(window, "Keyer")->setCurrentIndex(0);
    window.show();
    auto* area = Find<KeyArea>(window, "Tastflaeche");
    QTest::mousePress(area, Qt::LeftButton);
    QTRY_VERIFY(tone.keyDown());
    window.close();  // with the mouse button still down
    QVERIFY(!tone.keyDown());
}

void SendingWindowTest::exerciseControlsWorkFromAssistiveTechnology() {
    Sidetone tone(48000);
    SendingWindow window(Services(&tone));
    window.show();
    auto* exercise = Find<QComboBox>(window, "Uebungsart");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(exercise);
    // On Linux a combo box is named by its caption (a relation); its own name stays for others.
    QCOMPARE(exercise->accessibleName(), QStringLiteral("Übungsart"));
    QCOMPARE(a->text(QAccessible::Value), QStringLiteral("Frei"));
    auto* shown = Find<ValueLabel>(window, "Vorlage");
    QVERIFY(shown->isHidden());  // free keying has no template
    auto* next = Find<QPushButton>(window, "NaechsteVorlage");
    QVERIFY(!next->isEnabled());

    QStringList heard;
    const auto previous = WatchAccessibilityEvents([&](QAccessibleEvent& e) {
        if (e.object() == shown && e.type() == QAccessible::NameChanged)
            heard << QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Value);
    });
    exercise->setCurrentIndex(1);
    QCOMPARE(a->text(QAccessible::Value), QStringLiteral("Vorlage"));
    QCOMPARE(QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Value),
             QStringLiteral("TEXT1"));
    QVERIFY(!shown->isHidden());
    // "Neuer Text" from its accessibility action, as a click.
    QVERIFY(next->isEnabled());
    QAccessible::queryAccessibleInterface(next)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(shown->text(), QStringLiteral("TEXT2"));  // the press clicks a moment later
    WatchAccessibilityEvents(previous);
    QCOMPARE(heard, QStringList({QStringLiteral("TEXT1"), QStringLiteral("TEXT2")}));

    // "Vorlage ausblenden": a check box with its state, toggled from its action and remembered.
    auto* hide = Find<QCheckBox>(window, "VorlageAusblenden");
    QAccessibleInterface* h = QAccessible::queryAccessibleInterface(hide);
    QCOMPARE(h->text(QAccessible::Name), QStringLiteral("Vorlage ausblenden"));
    QVERIFY(!h->state().checked);
    h->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(hide->isChecked());
    QVERIFY(h->state().checked);
    QVERIFY(LoadSendingSettings().hideTemplate);
    QCOMPARE(LoadSendingSettings().exercise, SendingMode::Template);

    for (const char* name : {"Vorspielen", "VersuchEnde", "Anhoeren"}) {
        QVERIFY2(!QAccessible::queryAccessibleInterface(Find<QPushButton>(window, name))
                      ->text(QAccessible::Name)
                      .isEmpty(),
                 name);
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(Find<QPlainTextEdit>(window, "Gelesen"))
                 ->text(QAccessible::Name),
             QStringLiteral("Gelesener Text"));
    QCOMPARE(QAccessible::queryAccessibleInterface(Find<QTableWidget>(window, "Gebeanalyse"))
                 ->text(QAccessible::Name),
             QStringLiteral("Gebeanalyse als Tabelle"));
    QCOMPARE(QAccessible::queryAccessibleInterface(Find<FistPicture>(window, "Zeitbild"))
                 ->text(QAccessible::Value),
             QStringLiteral("leer"));
    // "Anhören" has nothing to play before the first attempt.
    QVERIFY(!Find<QPushButton>(window, "Anhoeren")->isEnabled());
}

void SendingWindowTest::keyedCharactersAppearAndTheAttemptIsReported() {
    Sidetone tone(48000);
    SendingWindow window(Services(&tone));
    Find<QComboBox>(window, "Keyer")->setCurrentIndex(1);  // iambic A: exact dits and dahs
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* focus = Find<QComboBox>(window, "Eingabe");
    focus->setFocus();
    auto* decoded = Find<QPlainTextEdit>(window, "Gelesen");
    QStringList inserted;
    QStringList values;
    auto* picture = Find<FistPicture>(window, "Zeitbild");
    const auto previous = WatchAccessibilityEvents([&](QAccessibleEvent& e) {
        if (e.object() == decoded && e.type() == QAccessible::TextInserted)
            inserted << static_cast<QAccessibleTextInsertEvent&>(e).textInserted();
        if (e.object() == picture && e.type() == QAccessible::ValueChanged)
            values << static_cast<QAccessibleValueChangeEvent&>(e).value().toString();
    });
    // A dit, then a dah after a character gap: "E" is on the screen before the dah is keyed.
    Key(focus, QEvent::KeyPress, kLeftCtrl);
    QTest::qWait(15);
    Key(focus, QEvent::KeyRelease, kLeftCtrl);
    QTRY_COMPARE(decoded->toPlainText().trimmed(), QStringLiteral("E"));
    QCOMPARE(QAccessible::queryAccessibleInterface(decoded)->text(QAccessible::Value).trimmed(),
             QStringLiteral("E"));
    Key(focus, QEvent::KeyPress, kRightCtrl);
    QTest::qWait(15);
    Key(focus, QEvent::KeyRelease, kRightCtrl);
    QTRY_VERIFY(decoded->toPlainText().remove(u' ') == QStringLiteral("ET"));
    QCOMPARE(inserted.join(QString()).remove(u' '), QStringLiteral("ET"));

    // The attempt ends from the button's accessibility action: verdict, picture, table, words.
    auto* end = Find<QPushButton>(window, "VersuchEnde");
    QAccessible::queryAccessibleInterface(end)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(
        Find<ValueLabel>(window, "Urteil")->text().startsWith(QStringLiteral("Gelesen: E")));
    WatchAccessibilityEvents(previous);
    QCOMPARE(picture->rows().size(), size_t(2));
    QCOMPARE(values, QStringList{QStringLiteral("2 Zeichen")});
    QCOMPARE(picture->rows()[1].keyed.size(), size_t(1));
    QCOMPARE(picture->rows()[1].keyed[0].lengthMs, 120.0);
    auto* table = Find<QTableWidget>(window, "Gebeanalyse");
    QAccessibleTableInterface* cells =
        QAccessible::queryAccessibleInterface(table)->tableInterface();
    QVERIFY(cells);
    const int rows = table->rowCount();
    QCOMPARE(cells->cellAt(rows - 1, 0)->text(QAccessible::Name), QStringLiteral("T (ms)"));
    QCOMPARE(cells->cellAt(rows - 1, 1)->text(QAccessible::Name), QStringLiteral("120"));
    QCOMPARE(cells->cellAt(rows - 2, 1)->text(QAccessible::Name), QStringLiteral("40"));
    QVERIFY(
        Find<ValueLabel>(window, "Bewertung")->text().contains(QStringLiteral("Gleichmäßigkeit")));
    QVERIFY(Find<QPushButton>(window, "Anhoeren")->isEnabled());
    QCOMPARE(window.practice()->attempts().size(), size_t(1));
}

REGISTER_TEST(SendingWindowTest);
#include "sending_window_test.moc"
