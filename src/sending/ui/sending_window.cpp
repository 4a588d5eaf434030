#include "sending/ui/sending_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>

#include "keyinput/key_input.h"
#include "keyinput/midi_key.h"
#include "keyinput/serial_key.h"
#include "platform/deadline_worker.h"
#include "platform/ui/announcer.h"
#include "platform/ui/combo_value.h"
#include "platform/ui/value_label.h"
#include "sending/keying_session.h"
#include "sending/ui/key_area.h"
#include "sound/sidetone.h"
#include "sound/sound_output.h"

namespace {
// Hands contacts to the keying session of the moment; the inputs outlive the sessions.
class Forwarder : public ContactSink {
public:
    void contact(const ContactEvent& event) override {
        if (KeyingSession* s = session.load(std::memory_order_acquire)) s->contact(event);
    }
    std::atomic<KeyingSession*> session{nullptr};
};

// A pause this long starts a new line in the display [ms].
constexpr double kNewLineAfterMs = 1500;

QString SourceName(KeySource s) {
    switch (s) {
        case KeySource::Keyboard:
            return QStringLiteral("Tastatur");
        case KeySource::Mouse:
            return QStringLiteral("Maus (Tastfläche)");
        case KeySource::Serial:
            return QStringLiteral("Serielle Schnittstelle");
        case KeySource::Midi:
            return QStringLiteral("MIDI");
    }
    return {};
}

QString ModeName(KeyerMode m) {
    switch (m) {
        case KeyerMode::Straight:
            return QStringLiteral("Handtaste");
        case KeyerMode::IambicA:
            return QStringLiteral("Iambic A");
        case KeyerMode::IambicB:
            return QStringLiteral("Iambic B");
        case KeyerMode::Ultimatic:
            return QStringLiteral("Ultimatic");
        case KeyerMode::Bug:
            return QStringLiteral("Halbautomat (Bug)");
    }
    return {};
}

QPushButton* Button(const char* name, const QString& text, const QString& accessibleName) {
    auto* b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(accessibleName);
    b->setAutoDefault(false);
    return b;
}

void Row(QFormLayout* form, const QString& label, QWidget* field) {
    auto* caption = new QLabel(label);
    caption->setBuddy(field);
    form->addRow(caption, field);
}
}  // namespace

SendingWindow::SendingWindow(SendingWindowServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), settings_(LoadSendingSettings()) {
    setObjectName(QStringLiteral("GebenUeben"));
    setWindowTitle(QStringLiteral("Geben üben"));
    setAccessibleName(QStringLiteral("Geben üben"));
    keys_.setScanCode(Contact::Straight, settings_.straightKey);
    keys_.setScanCode(Contact::Dit, settings_.ditKey);
    keys_.setScanCode(Contact::Dah, settings_.dahKey);
    auto forward = std::make_unique<Forwarder>();
    ContactSink& sink = *forward;
    forward_ = std::move(forward);
    keyboardInput_ = std::make_unique<KeyInput>(sink);
    mouseInput_ = std::make_unique<KeyInput>(sink);
    const InputStatus status = [self = QPointer<SendingWindow>(this)](const QString& text,
                                                                      bool problem) {
        QMetaObject::invokeMethod(
            qApp,
            [self, text, problem] {
                if (self) self->showStatus(text, problem);
            },
            Qt::QueuedConnection);
    };
    if (services_.modemLines) {
        serial_ = std::make_unique<SerialKey>(sink, services_.modemLines(), status);
    }
    if (services_.sequencer) midi_ = std::make_unique<MidiKey>(sink, services_.sequencer(), status);

    // Where the contacts come from.
    source_ = new QComboBox;
    source_->setObjectName(QStringLiteral("Eingabe"));
    source_->setAccessibleName(QStringLiteral("Eingabe der Taste"));
    for (KeySource s : {KeySource::Keyboard, KeySource::Mouse, KeySource::Serial, KeySource::Midi})
        source_->addItem(SourceName(s));
    source_->setCurrentIndex(static_cast<int>(settings_.source));
    SpeakCurrentItem(source_);
    // The keyer: straight key, iambic A or B, Ultimatic, bug.
    mode_ = new QComboBox;
    mode_->setObjectName(QStringLiteral("Keyer"));
    mode_->setAccessibleName(QStringLiteral("Keyer-Betriebsart"));
    for (KeyerMode m : {KeyerMode::Straight, KeyerMode::IambicA, KeyerMode::IambicB,
                        KeyerMode::Ultimatic, KeyerMode::Bug})
        mode_->addItem(ModeName(m));
    mode_->setCurrentIndex(static_cast<int>(settings_.mode));
    SpeakCurrentItem(mode_);
    // The keyer's weight: 50 % is marks as long as timed.
    weight_ = new QSpinBox;
    weight_->setObjectName(QStringLiteral("Gewichtung"));
    weight_->setAccessibleName(QStringLiteral("Gewichtung"));
    weight_->setAccessibleDescription(
        QStringLiteral("Verlängert die Töne auf Kosten der Pausen; 50 Prozent ist normal"));
    weight_->setRange(25, 75);
    weight_->setSuffix(QStringLiteral(" %"));
    weight_->setValue(settings_.weightPercent);
    // Teaches the keyboard keys that are the key's contacts.
    learn_ = Button("TasteLernen", QStringLiteral("Taste &lernen"), QStringLiteral("Taste lernen"));
    learn_->setAccessibleDescription(
        QStringLiteral("Danach jeden Kontakt der Taste einmal drücken"));
    learnPrompt_ = new ValueLabel(this);
    learnPrompt_->setObjectName(QStringLiteral("Lernhinweis"));
    learnPrompt_->setMeaning(QStringLiteral("Tastatur"));
    learnPrompt_->setWordWrap(true);

    // Serial key cables.
    serialPort_ = new QComboBox;
    serialPort_->setObjectName(QStringLiteral("Anschluss"));
    serialPort_->setAccessibleName(QStringLiteral("Serieller Anschluss"));
    SpeakCurrentItem(serialPort_);
    serialRefresh_ = Button("AnschluesseSuchen", QStringLiteral("&Suchen"),
                            QStringLiteral("Serielle Anschlüsse neu suchen"));
    ftdiNote_ = new QLabel(QStringLiteral(
        "CTS: Punkt oder Handtaste, DSR: Strich; DTR und RTS liefern die Spannung. "
        "FTDI-Adapter verzögern die Leitungen um bis zu 16 ms, wenn ihr „latency_timer“ "
        "nicht auf 1 steht (/sys/bus/usb-serial/devices/ttyUSB0/latency_timer)."));
    ftdiNote_->setObjectName(QStringLiteral("FtdiHinweis"));
    ftdiNote_->setWordWrap(true);
    // USB-MIDI key adapters.
    midiPort_ = new QComboBox;
    midiPort_->setObjectName(QStringLiteral("MidiAnschluss"));
    midiPort_->setAccessibleName(QStringLiteral("MIDI-Anschluss"));
    SpeakCurrentItem(midiPort_);
    midiRefresh_ = Button("MidiSuchen", QStringLiteral("S&uchen"),
                          QStringLiteral("MIDI-Anschlüsse neu suchen"));

    announcer_ = new Announcer(this);
    keyArea_ = new KeyArea;
    status_ = new ValueLabel(this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setMeaning(QStringLiteral("Zustand"));
    status_->setWordWrap(true);
    // The marks and spaces keyed, with their lengths.
    display_ = new QPlainTextEdit;
    display_->setObjectName(QStringLiteral("Elemente"));
    display_->setAccessibleName(QStringLiteral("Gegebene Töne und Pausen"));
    display_->setReadOnly(true);
    display_->setTabChangesFocus(true);
    display_->setMinimumHeight(120);
    play_ = Button("Abspielen", QStringLiteral("&Abspielen"), QStringLiteral("Abspielen"));
    clear_ = Button("Loeschen", QStringLiteral("L&öschen"), QStringLiteral("Löschen"));
    auto* close = Button("Schliessen", QStringLiteral("S&chließen"), QStringLiteral("Schließen"));

    auto* keyBox = new QGroupBox(QStringLiteral("Taste"));
    auto* form = new QFormLayout(keyBox);
    Row(form, QStringLiteral("&Eingabe:"), source_);
    Row(form, QStringLiteral("&Keyer:"), mode_);
    Row(form, QStringLiteral("&Gewichtung:"), weight_);
    auto* learnRow = new QHBoxLayout;
    learnRow->addWidget(learn_);
    learnRow->addWidget(learnPrompt_, 1);
    form->addRow(learnRow);
    auto* serialRow = new QHBoxLayout;
    serialRow->addWidget(serialPort_, 1);
    serialRow->addWidget(serialRefresh_);
    auto* serialCaption = new QLabel(QStringLiteral("Se&rieller Anschluss:"));
    serialCaption->setBuddy(serialPort_);
    form->addRow(serialCaption, serialRow);
    form->addRow(ftdiNote_);
    auto* midiRow = new QHBoxLayout;
    midiRow->addWidget(midiPort_, 1);
    midiRow->addWidget(midiRefresh_);
    auto* midiCaption = new QLabel(QStringLiteral("&MIDI-Anschluss:"));
    midiCaption->setBuddy(midiPort_);
    form->addRow(midiCaption, midiRow);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(play_);
    buttons->addWidget(clear_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* displayCaption = new QLabel(QStringLiteral("Gegebene &Töne und Pausen (ms):"));
    displayCaption->setBuddy(display_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(keyBox);
    layout->addWidget(keyArea_, 1);
    layout->addWidget(status_);
    layout->addWidget(displayCaption);
    layout->addWidget(display_, 1);
    layout->addLayout(buttons);

    collect_ = new QTimer(this);
    collect_->setInterval(50);  // the display only: the keyer runs on its own thread
    connect(collect_, &QTimer::timeout, this, &SendingWindow::collectElements);
    connect(source_, &QComboBox::currentIndexChanged, this, &SendingWindow::sourceChosen);
    connect(mode_, &QComboBox::currentIndexChanged, this, &SendingWindow::modeChosen);
    connect(weight_, &QSpinBox::valueChanged, this, [this](int value) {
        settings_.weightPercent = value;
        SaveSendingSettings(settings_);
        if (session_ && services_.timing) session_->setTiming(services_.timing(value));
    });
    connect(learn_, &QPushButton::clicked, this, &SendingWindow::learnKeys);
    connect(serialRefresh_, &QPushButton::clicked, this, &SendingWindow::refreshSerialPorts);
    connect(midiRefresh_, &QPushButton::clicked, this, &SendingWindow::refreshMidiPorts);
    connect(serialPort_, &QComboBox::activated, this, [this] {
        settings_.serialPort = serialPort_->currentData().toString();
        SaveSendingSettings(settings_);
        applySource();
    });
    connect(midiPort_, &QComboBox::activated, this, [this] {
        settings_.midiPort = midiPort_->currentData().toString();
        SaveSendingSettings(settings_);
        applySource();
    });
    connect(keyArea_, &KeyArea::contactChanged, this,
            [this](Contact c, bool down) { mouseInput_->deliver(c, down, MonotonicMicros()); });
    connect(play_, &QPushButton::clicked, this, &SendingWindow::play);
    connect(clear_, &QPushButton::clicked, this, &SendingWindow::clear);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    refreshSerialPorts();
    refreshMidiPorts();
    updateStates();
    showStatus(QStringLiteral("Bereit."), false);
}

SendingWindow::~SendingWindow() {
    end();
    serial_.reset();
    midi_.reset();
}

void SendingWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    begin();
}

void SendingWindow::hideEvent(QHideEvent* event) {
    end();
    QDialog::hideEvent(event);
}

void SendingWindow::begin() {
    if (session_) return;
    const KeyerTiming timing =
        services_.timing ? services_.timing(settings_.weightPercent) : KeyerTiming{};
    if (services_.sidetone && services_.pitchHz) services_.sidetone->setPitch(services_.pitchHz());
    session_ = std::make_unique<KeyingSession>(settings_.mode, timing, services_.sidetone);
    static_cast<Forwarder&>(*forward_).session.store(session_.get());
    // The stream runs through the silences with the short buffer while the window is open.
    if (services_.output) {
        need_ = std::make_unique<SoundNeedScope>(
            *services_.output, SoundNeed{.promptResponse = true, .keepOpen = true});
    }
    qApp->installEventFilter(this);
    applySource();
    collect_->start();
}

void SendingWindow::end() {
    if (!session_) return;
    qApp->removeEventFilter(this);
    collect_->stop();
    stopDevices();
    keyboardInput_->releaseAll(MonotonicMicros());
    mouseInput_->releaseAll(MonotonicMicros());
    collectElements();
    static_cast<Forwarder&>(*forward_).session.store(nullptr);
    session_.reset();
    need_.reset();
    keys_.cancelLearning();
}

void SendingWindow::stopDevices() {
    if (serial_) serial_->stop();
    if (midi_) midi_->stop();
}

void SendingWindow::applySource() {
    stopDevices();
    keyboardInput_->releaseAll(MonotonicMicros());
    updateStates();
    if (!session_) return;
    QString error;
    switch (settings_.source) {
        case KeySource::Keyboard:
            showStatus(QStringLiteral("Tastatur: linke Strg-Taste Punkt, rechte Strg-Taste "
                                      "Strich (oder die gelernten Tasten)."),
                       false);
            return;
        case KeySource::Mouse:
            showStatus(QStringLiteral("Maus: in der Tastfläche geben."), false);
            return;
        case KeySource::Serial:
            if (settings_.serialPort.isEmpty()) {
                showStatus(QStringLiteral("Kein serieller Anschluss gewählt."), true);
            } else if (!serial_ || !serial_->start(settings_.serialPort, &error)) {
                showStatus(error, true);
            } else {
                showStatus(QStringLiteral("Taste an %1 bereit.").arg(settings_.serialPort), false);
            }
            return;
        case KeySource::Midi:
            if (settings_.midiPort.isEmpty()) {
                showStatus(QStringLiteral("Kein MIDI-Anschluss gewählt."), true);
            } else if (!midi_ || !midi_->start(settings_.midiPort.toStdString(), &error)) {
                showStatus(error, true);
            } else {
                showStatus(QStringLiteral("MIDI-Taste an „%1“ bereit.").arg(settings_.midiPort),
                           false);
            }
            return;
    }
}

void SendingWindow::sourceChosen() {
    settings_.source = static_cast<KeySource>(source_->currentIndex());
    SaveSendingSettings(settings_);
    keys_.cancelLearning();
    showLearnPrompt();
    applySource();
}

void SendingWindow::modeChosen() {
    settings_.mode = static_cast<KeyerMode>(mode_->currentIndex());
    SaveSendingSettings(settings_);
    if (session_) session_->setMode(settings_.mode);
}

void SendingWindow::updateStates() {
    const KeySource s = settings_.source;
    learn_->setEnabled(s == KeySource::Keyboard);
    serialPort_->setEnabled(s == KeySource::Serial);
    serialRefresh_->setEnabled(s == KeySource::Serial);
    midiPort_->setEnabled(s == KeySource::Midi);
    midiRefresh_->setEnabled(s == KeySource::Midi);
    showLearnPrompt();
}

void SendingWindow::learnKeys() {
    keys_.beginLearning(settings_.mode != KeyerMode::Straight);
    showLearnPrompt();
}

void SendingWindow::showLearnPrompt() {
    const auto learning = keys_.learning();
    if (!learning) {
        learnPrompt_->setValueText(settings_.source == KeySource::Keyboard
                                       ? QStringLiteral("Tasten für Punkt, Strich und Handtaste "
                                                        "wie gespeichert.")
                                       : QString());
        return;
    }
    const QString which = *learning == Contact::Dit   ? QStringLiteral("den Punkt-Hebel")
                          : *learning == Contact::Dah ? QStringLiteral("den Strich-Hebel")
                                                      : QStringLiteral("die Handtaste");
    learnPrompt_->setValueText(QStringLiteral("Jetzt die Taste für %1 drücken.").arg(which));
    // The focus stays on "Taste lernen" while the prompt beside it asks for the next key.
    announcer_->announce(learnPrompt_->text());
}

bool SendingWindow::keyboardActive() const {
    return session_ && settings_.source == KeySource::Keyboard && isActiveWindow();
}

bool SendingWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
        type != QEvent::ShortcutOverride) {
        return QDialog::eventFilter(watched, event);
    }
    if (!keyboardActive()) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const uint32_t code = key->nativeScanCode();
    const bool learning = keys_.learning().has_value();
    const auto contact = keys_.contactOf(code);
    if (!learning && !contact) return QDialog::eventFilter(watched, event);
    // The key's own keys are no shortcuts while the window has the focus.
    if (type == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    // Qt hands a key event to each widget up the chain; the first one is enough.
    if (!watched->isWidgetType()) return true;
    if (key->isAutoRepeat()) return true;
    if (learning) {
        if (type == QEvent::KeyPress && key->key() != Qt::Key_Escape) {
            keys_.learn(code);
            settings_.straightKey = keys_.scanCode(Contact::Straight);
            settings_.ditKey = keys_.scanCode(Contact::Dit);
            settings_.dahKey = keys_.scanCode(Contact::Dah);
            SaveSendingSettings(settings_);
        } else if (type == QEvent::KeyPress) {
            keys_.cancelLearning();
        }
        showLearnPrompt();
        return true;
    }
    keyboardInput_->deliver(*contact, type == QEvent::KeyPress, MonotonicMicros());
    return true;
}

void SendingWindow::refreshSerialPorts() {
    serialPort_->clear();
    if (services_.serialPorts) {
        for (const SerialPortEntry& p : services_.serialPorts()) {
            const QString text =
                p.description.isEmpty() ? p.path : p.path + QStringLiteral(" – ") + p.description;
            serialPort_->addItem(text, p.path);
        }
    }
    const int index = serialPort_->findData(settings_.serialPort);
    if (index >= 0) serialPort_->setCurrentIndex(index);
    if (serialPort_->count() == 0) serialPort_->addItem(QStringLiteral("(keiner gefunden)"));
}

void SendingWindow::refreshMidiPorts() {
    midiPort_->clear();
    if (midi_) {
        QString error;
        if (const auto ports = midi_->ports(&error)) {
            for (const MidiPort& p : *ports) {
                const QString name = QString::fromStdString(p.name);
                midiPort_->addItem(name, name);
            }
        } else if (settings_.source == KeySource::Midi) {
            showStatus(error, true);
        }
    }
    const int index = midiPort_->findData(settings_.midiPort);
    if (index >= 0) midiPort_->setCurrentIndex(index);
    if (midiPort_->count() == 0) midiPort_->addItem(QStringLiteral("(keiner gefunden)"));
}

void SendingWindow::showStatus(const QString& text, bool problem) {
    // A new state (a port that fails, the input chosen) shows away from the focus.
    if (text != status_->text()) announcer_->announce(text);
    status_->setValueText(text);
    status_->setStyleSheet(problem ? QStringLiteral("color: #a00000") : QString());
}

void SendingWindow::collectElements() {
    if (!session_) return;
    const auto fresh = session_->takeElements();
    if (fresh.empty()) return;
    QString text;
    for (const KeyedElement& e : fresh) {
        if (e.mark) {
            text += QStringLiteral("Ton %1  ").arg(qRound(e.durationMs));
        } else if (e.durationMs >= kNewLineAfterMs) {
            text += u'\n';
        } else {
            text += QStringLiteral("Pause %1  ").arg(qRound(e.durationMs));
        }
        elements_.push_back(e);
    }
    display_->moveCursor(QTextCursor::End);
    display_->insertPlainText(text);
    display_->verticalScrollBar()->setValue(display_->verticalScrollBar()->maximum());
}

void SendingWindow::play() {
    collectElements();
    if (!services_.output || elements_.empty()) return;
    const double pitch = services_.pitchHz ? services_.pitchHz() : 800;
    services_.output->queueTones(ElementsToTones(elements_, pitch));
}

void SendingWindow::clear() {
    collectElements();
    elements_.clear();
    display_->clear();
}
