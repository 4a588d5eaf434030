#include "sending/ui/sending_window.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <atomic>
#include <optional>

#include "keyinput/key_input.h"
#include "keyinput/midi_key.h"
#include "keyinput/serial_key.h"
#include "platform/deadline_worker.h"
#include "platform/ui/accessibility_events.h"
#include "platform/ui/announcer.h"
#include "platform/ui/combo_value.h"
#include "platform/ui/value_label.h"
#include "sending/fist_decoder.h"
#include "sending/keying_session.h"
#include "sending/report_text.h"
#include "sending/sending_practice.h"
#include "sending/ui/fist_picture.h"
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

QString ExerciseName(SendingMode m) {
    switch (m) {
        case SendingMode::Free:
            return QStringLiteral("Frei");
        case SendingMode::Template:
            return QStringLiteral("Vorlage");
        case SendingMode::Echo:
            return QStringLiteral("Nachgeben");
    }
    return {};
}

QString Percent(const TimingClass& c) {
    if (c.count == 0) return QStringLiteral("–");
    const QLocale german(QLocale::German);
    return QStringLiteral("%1 % (± %2 %)")
        .arg(german.toString(c.meanPercent, 'f', 0), german.toString(c.spreadPercent, 'f', 0));
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

    // What to key: free, a template, or what the trainer sends.
    exercise_ = new QComboBox;
    exercise_->setObjectName(QStringLiteral("Uebungsart"));
    exercise_->setAccessibleName(QStringLiteral("Übungsart"));
    for (SendingMode m : {SendingMode::Free, SendingMode::Template, SendingMode::Echo})
        exercise_->addItem(ExerciseName(m));
    exercise_->setCurrentIndex(static_cast<int>(settings_.exercise));
    SpeakCurrentItem(exercise_);
    // Hides the template once keying starts: sending from the head.
    hideTemplate_ = new QCheckBox(QStringLiteral("&Vorlage ausblenden"));
    hideTemplate_->setObjectName(QStringLiteral("VorlageAusblenden"));
    hideTemplate_->setAccessibleName(QStringLiteral("Vorlage ausblenden"));
    hideTemplate_->setAccessibleDescription(
        QStringLiteral("Blendet die Vorlage aus, sobald gegeben wird"));
    hideTemplate_->setChecked(settings_.hideTemplate);
    // The text to key.
    template_ = new ValueLabel(this);
    template_->setObjectName(QStringLiteral("Vorlage"));
    template_->setMeaning(QStringLiteral("Vorlage"), QStringLiteral("Der zu gebende Text"));
    template_->setWordWrap(true);
    template_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont big = template_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    template_->setFont(big);
    nextText_ =
        Button("NaechsteVorlage", QStringLiteral("&Neuer Text"), QStringLiteral("Neuer Text"));
    replayItem_ = Button("Vorspielen", QStringLiteral("Vors&pielen"),
                         QStringLiteral("Noch einmal vorspielen"));
    // What has been read of the keying, attempt by attempt.
    decoded_ = new QPlainTextEdit;
    decoded_->setObjectName(QStringLiteral("Gelesen"));
    decoded_->setAccessibleName(QStringLiteral("Gelesener Text"));
    decoded_->setReadOnly(true);
    decoded_->setTabChangesFocus(true);
    decoded_->setMinimumHeight(60);
    decoded_->setFont(big);
    endAttempt_ = Button("VersuchEnde", QStringLiteral("Versuch been&den"),
                         QStringLiteral("Versuch beenden"));
    endAttempt_->setAccessibleDescription(
        QStringLiteral("Beendet den Versuch ohne die Pause abzuwarten"));
    hear_ = Button("Anhoeren", QStringLiteral("An&hören"), QStringLiteral("Anhören"));
    hear_->setAccessibleDescription(QStringLiteral(
        "Spielt den letzten Versuch so, wie er gegeben wurde, danach mit idealem Timing"));
    // Right or wrong, and the timing, after each attempt.
    verdict_ = new ValueLabel(this);
    verdict_->setObjectName(QStringLiteral("Urteil"));
    verdict_->setMeaning(QStringLiteral("Ergebnis"));
    verdict_->setWordWrap(true);
    picture_ = new FistPicture;
    // The report's figures and each character's lengths, as the picture shows them.
    figures_ = new QTableWidget(0, 3, this);
    figures_->setObjectName(QStringLiteral("Gebeanalyse"));
    figures_->setAccessibleName(QStringLiteral("Gebeanalyse als Tabelle"));
    figures_->setHorizontalHeaderLabels(
        {QStringLiteral("Größe"), QStringLiteral("Gegeben"), QStringLiteral("Ideal")});
    figures_->verticalHeader()->setVisible(false);
    figures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    figures_->setTabKeyNavigation(false);
    figures_->horizontalHeader()->setStretchLastSection(true);
    figures_->setMinimumHeight(120);
    // The report in sentences.
    sentences_ = new ValueLabel(this);
    sentences_->setObjectName(QStringLiteral("Bewertung"));
    sentences_->setMeaning(QStringLiteral("Gebeanalyse"));
    sentences_->setWordWrap(true);

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
    display_->setMinimumHeight(50);
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
    auto* exerciseBox = new QGroupBox(QStringLiteral("Übung"));
    auto* exerciseLayout = new QVBoxLayout(exerciseBox);
    auto* exerciseRow = new QHBoxLayout;
    auto* exerciseCaption = new QLabel(QStringLiteral("Ü&bungsart:"));
    exerciseCaption->setBuddy(exercise_);
    exerciseRow->addWidget(exerciseCaption);
    exerciseRow->addWidget(exercise_);
    exerciseRow->addWidget(hideTemplate_);
    exerciseRow->addStretch(1);
    exerciseRow->addWidget(nextText_);
    exerciseRow->addWidget(replayItem_);
    exerciseLayout->addLayout(exerciseRow);
    exerciseLayout->addWidget(template_);

    auto* attemptRow = new QHBoxLayout;
    attemptRow->addWidget(endAttempt_);
    attemptRow->addWidget(hear_);
    attemptRow->addWidget(verdict_, 1);
    auto* pictureScroll = new QScrollArea;
    pictureScroll->setWidget(picture_);
    pictureScroll->setWidgetResizable(true);
    pictureScroll->setMinimumHeight(120);
    auto* reportRow = new QHBoxLayout;
    reportRow->addWidget(pictureScroll, 3);
    reportRow->addWidget(figures_, 2);
    auto* decodedCaption = new QLabel(QStringLiteral("Gelesener Te&xt:"));
    decodedCaption->setBuddy(decoded_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(keyBox);
    layout->addWidget(exerciseBox);
    layout->addWidget(keyArea_, 1);
    layout->addWidget(status_);
    layout->addWidget(decodedCaption);
    layout->addWidget(decoded_);
    layout->addLayout(attemptRow);
    layout->addLayout(reportRow, 2);
    // The sentences scroll, so that a long report does not squeeze the window.
    auto* sentencesScroll = new QScrollArea;
    sentencesScroll->setWidget(sentences_);
    sentencesScroll->setWidgetResizable(true);
    sentencesScroll->setFrameShape(QFrame::NoFrame);
    sentencesScroll->setFixedHeight(5 * fontMetrics().lineSpacing());
    layout->addWidget(sentencesScroll);
    layout->addWidget(displayCaption);
    layout->addWidget(display_, 1);
    layout->addLayout(buttons);
    // The table was made with the window as parent, ahead of the rest: Tab reaches it where
    // it stands, after the attempt's buttons.
    setTabOrder(hear_, figures_);
    setTabOrder(figures_, display_);

    collect_ = new QTimer(this);
    // The keyer runs on its own thread; this only brings its marks and spaces to the reading.
    collect_->setInterval(15);
    connect(collect_, &QTimer::timeout, this, &SendingWindow::collectElements);
    due_ = new QTimer(this);
    due_->setSingleShot(true);
    due_->setTimerType(Qt::PreciseTimer);
    connect(due_, &QTimer::timeout, this, &SendingWindow::collectElements);
    connect(exercise_, &QComboBox::currentIndexChanged, this, &SendingWindow::exerciseChosen);
    connect(hideTemplate_, &QCheckBox::toggled, this, [this](bool on) {
        settings_.hideTemplate = on;
        SaveSendingSettings(settings_);
        if (practice_) practice_->setHideTemplate(on);
        showTemplate();
    });
    connect(nextText_, &QPushButton::clicked, this, [this] {
        if (!practice_) return;
        practice_->nextText();
        showTemplate();
        scheduleDue();
    });
    connect(replayItem_, &QPushButton::clicked, this, [this] {
        if (practice_) practice_->replayItem();
    });
    connect(endAttempt_, &QPushButton::clicked, this, &SendingWindow::endAttempt);
    connect(hear_, &QPushButton::clicked, this, &SendingWindow::hearAttempt);
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
    PracticeSetup setup;
    setup.setCpm = CpmForDotMs(timing.dotUs / 1000.0);
    setup.dashRatio = timing.dotUs > 0 ? static_cast<double>(timing.dashUs) / timing.dotUs : 3.0;
    setup.pitchHz = services_.pitchHz ? services_.pitchHz() : 800.0;
    setup.output = services_.output;
    setup.draw = services_.drawText;
    setup.record = services_.record;
    setup.now = services_.now;
    practice_ = std::make_unique<SendingPractice>(std::move(setup));
    practice_->setHideTemplate(settings_.hideTemplate);
    practice_->setMode(settings_.exercise);
    decodedBefore_.clear();
    decoded_->clear();
    static_cast<Forwarder&>(*forward_).session.store(session_.get());
    // The stream runs through the silences with the short buffer while the window is open.
    if (services_.output) {
        need_ = std::make_unique<SoundNeedScope>(
            *services_.output,
            SoundNeed{.promptResponse = true, .keepOpen = true, .smallestBuffer = true});
    }
    qApp->installEventFilter(this);
    applySource();
    collect_->start();
    showTemplate();
    updateStates();
}

void SendingWindow::end() {
    if (!session_) return;
    qApp->removeEventFilter(this);
    collect_->stop();
    due_->stop();
    stopDevices();
    keyboardInput_->releaseAll(MonotonicMicros());
    mouseInput_->releaseAll(MonotonicMicros());
    collectElements();
    static_cast<Forwarder&>(*forward_).session.store(nullptr);
    session_.reset();
    practice_.reset();
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
    const auto exercise = static_cast<SendingMode>(exercise_->currentIndex());
    hideTemplate_->setEnabled(exercise == SendingMode::Template);
    nextText_->setEnabled(exercise != SendingMode::Free);
    replayItem_->setEnabled(exercise == SendingMode::Echo);
    hear_->setEnabled(practice_ && !practice_->attempts().empty());
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
    // The first receiver takes the contact, and taking it ends the event's way: from the
    // platform that is the window's QWindow, which would otherwise hand it to the focus widget.
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
    std::optional<int64_t> openMarkUs;
    const auto fresh = session_->takeElements(&openMarkUs);
    if (practice_) showPractice(practice_->step(fresh, MonotonicMicros(), openMarkUs));
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

void SendingWindow::exerciseChosen() {
    settings_.exercise = static_cast<SendingMode>(exercise_->currentIndex());
    SaveSendingSettings(settings_);
    if (practice_) {
        // An attempt keyed so far is judged as what it was meant to be.
        showPractice(practice_->endAttempt(MonotonicMicros()));
        practice_->setMode(settings_.exercise);
    }
    showTemplate();
    updateStates();
    scheduleDue();
}

void SendingWindow::showPractice(const PracticeChange& change) {
    if (change.textChanged) showDecoded();
    if (change.templateChanged) showTemplate();
    if (change.verdict) {
        verdict_->setValueText(change.verdict->said);
        verdict_->setStyleSheet(change.verdict->judged && !change.verdict->right
                                    ? QStringLiteral("color: #a00000")
                                    : QString());
        const SendingAttempt& attempt = practice_->attempts().back();
        decodedBefore_ += (attempt.text.isEmpty() ? QStringLiteral("–") : attempt.text) + u'\n';
        showDecoded();
        showReport(attempt.report);
        updateStates();
    }
    scheduleDue();
}

void SendingWindow::showDecoded() {
    const QString before = decoded_->toPlainText();
    const QString now = decodedBefore_ + (practice_ ? practice_->currentText() : QString());
    if (now == before) return;
    decoded_->setPlainText(now);
    decoded_->moveCursor(QTextCursor::End);
    decoded_->verticalScrollBar()->setValue(decoded_->verticalScrollBar()->maximum());
    // A screen reader hears the new characters as they come.
    if (now.startsWith(before)) {
        QAccessibleTextInsertEvent event(decoded_, static_cast<int>(before.size()),
                                         now.mid(before.size()));
        SendAccessibilityEvent(event);
    } else {
        QAccessibleValueChangeEvent event(decoded_, now);
        SendAccessibilityEvent(event);
    }
}

void SendingWindow::showTemplate() {
    const auto exercise = static_cast<SendingMode>(exercise_->currentIndex());
    template_->setVisible(exercise != SendingMode::Free);
    template_->setValueText(practice_ ? practice_->templateText() : QString());
}

void SendingWindow::showReport(const FistReport& report) {
    picture_->setRows(report.picture);
    sentences_->setValueText(ReportSentences(report).join(u' '));
    const QLocale german(QLocale::German);
    std::vector<std::array<QString, 3>> rows;
    if (report.characters > 0) {
        rows.push_back({QStringLiteral("Tempo (Zeichen/min)"), german.toString(report.cpm, 'f', 0),
                        QStringLiteral("von %1 bis %2")
                            .arg(german.toString(report.lowestCpm, 'f', 0),
                                 german.toString(report.highestCpm, 'f', 0))});
        rows.push_back({QStringLiteral("Punkt : Strich"),
                        QStringLiteral("1 : ") + german.toString(report.dashRatio, 'f', 1),
                        QStringLiteral("1 : ") + german.toString(report.idealDashRatio, 'f', 1)});
        rows.push_back({QStringLiteral("Punkte"), Percent(report.dots), QStringLiteral("100 %")});
        rows.push_back(
            {QStringLiteral("Striche"), Percent(report.dashes), QStringLiteral("100 %")});
        rows.push_back({QStringLiteral("Pausen im Zeichen"), Percent(report.elementGaps),
                        QStringLiteral("100 %")});
        rows.push_back({QStringLiteral("Zeichenabstände"), Percent(report.characterGaps),
                        QStringLiteral("100 %")});
        rows.push_back(
            {QStringLiteral("Wortabstände"), Percent(report.wordGaps), QStringLiteral("100 %")});
        rows.push_back({QStringLiteral("Gleichmäßigkeit"), QString::number(report.regularity),
                        QStringLiteral("100")});
    }
    for (const TimingRow& row : report.picture) {
        rows.push_back({QStringLiteral("%1 (ms)").arg(row.text), BarLengths(row.keyed),
                        BarLengths(row.ideal)});
    }
    figures_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 3; ++c) figures_->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    figures_->resizeColumnsToContents();
}

void SendingWindow::scheduleDue() {
    if (!practice_) return;
    const auto due = practice_->nextDueUs();
    if (!due) {
        due_->stop();
        return;
    }
    const int64_t waitUs = std::max<int64_t>(0, *due - MonotonicMicros());
    due_->start(static_cast<int>((waitUs + 999) / 1000));
}

void SendingWindow::endAttempt() {
    collectElements();
    if (practice_) showPractice(practice_->endAttempt(MonotonicMicros()));
}

void SendingWindow::hearAttempt() {
    collectElements();
    if (practice_) practice_->playLastAttempt();
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
