#pragma once

#include <QDateTime>
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "keyinput/keyboard_keys.h"
#include "keyinput/midi_sequencer.h"
#include "keyinput/modem_lines.h"
#include "keyinput/serial_ports.h"
#include "sending/keyed_elements.h"
#include "sending/sending_exercise.h"
#include "sending/sending_settings.h"

class Announcer;
class FistPicture;
class KeyArea;
class KeyInput;
class KeyingSession;
class MidiKey;
class QCheckBox;
class RecordSink;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;
class SendingPractice;
struct FistReport;
struct PracticeChange;
class SerialKey;
class Sidetone;
class SoundOutput;
class SoundNeedScope;
class ValueLabel;

// What "Geben üben" needs from outside; tests give fakes.
struct SendingWindowServices {
    Sidetone* sidetone = nullptr;   // the device's sidetone; none without a sound card
    SoundOutput* output = nullptr;  // the stream's buffer while open, and playback
    std::function<KeyerTiming(int weightPercent)> timing;  // from the trainer's speed and dash
    std::function<double()> pitchHz;
    std::function<std::vector<SerialPortEntry>()> serialPorts;
    std::function<std::unique_ptr<ModemLines>()> modemLines;
    std::function<std::unique_ptr<MidiSequencer>()> sequencer;
    SendingExercise::Draw drawText;  // texts for "Vorlage" and "Nachgeben"
    RecordSink* record = nullptr;    // the learner's record; none: attempts are not kept
    std::function<QDateTime()> now;  // the local time of an attempt
};

// "Geben üben": the learner keys with the keyboard, the mouse, a serial key cable or a MIDI
// adapter, through the chosen keyer, and hears the sidetone at once; the marks and spaces are
// listed and can be played back. What is keyed is read as it comes; after each attempt the
// window judges it in the chosen exercise (free keying, a template, echoing the trainer) and
// shows its timing report as a picture, a table and sentences. While the window is open the
// keys belong to it: its contact keys never trigger a shortcut.
class SendingWindow : public QDialog {
    Q_OBJECT
public:
    SendingWindow(SendingWindowServices services, QWidget* parent = nullptr);
    ~SendingWindow() override;

    // Everything keyed while the window was open, in order.
    const std::vector<KeyedElement>& elements() const { return elements_; }
    // Takes what the keyer has completed into the list and the display now, reads it and
    // ends an attempt whose pause has passed.
    void collectElements();
    // The practice of the open window (none while it is closed).
    const SendingPractice* practice() const { return practice_.get(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void begin();
    void end();
    void applySource();
    void stopDevices();
    void sourceChosen();
    void modeChosen();
    void learnKeys();
    void showLearnPrompt();
    void refreshSerialPorts();
    void refreshMidiPorts();
    void showStatus(const QString& text, bool problem);
    void play();
    void clear();
    void updateStates();
    bool keyboardActive() const;
    void exerciseChosen();
    void showPractice(const PracticeChange& change);
    void showDecoded();
    void showTemplate();
    void showReport(const FistReport& report);
    void scheduleDue();
    void endAttempt();
    void hearAttempt();

    SendingWindowServices services_;
    SendingSettings settings_;
    KeyboardKeys keys_;

    QComboBox* source_;
    QComboBox* mode_;
    QSpinBox* weight_;
    QPushButton* learn_;
    ValueLabel* learnPrompt_;
    QComboBox* serialPort_;
    QPushButton* serialRefresh_;
    QLabel* ftdiNote_;
    QComboBox* midiPort_;
    QPushButton* midiRefresh_;
    KeyArea* keyArea_;
    ValueLabel* status_;
    Announcer* announcer_;
    QPlainTextEdit* display_;
    QPushButton* play_;
    QPushButton* clear_;
    QTimer* collect_;
    QTimer* due_;  // the moment the reading changes without a new element

    QComboBox* exercise_;
    QCheckBox* hideTemplate_;
    ValueLabel* template_;
    QPushButton* nextText_;
    QPushButton* replayItem_;
    QPlainTextEdit* decoded_;
    QPushButton* endAttempt_;
    QPushButton* hear_;
    ValueLabel* verdict_;
    FistPicture* picture_;
    QTableWidget* figures_;
    ValueLabel* sentences_;
    QString decodedBefore_;  // the lines of the attempts before the current one

    std::unique_ptr<KeyingSession> session_;
    std::unique_ptr<KeyInput> keyboardInput_;
    std::unique_ptr<KeyInput> mouseInput_;
    std::unique_ptr<SerialKey> serial_;
    std::unique_ptr<MidiKey> midi_;
    std::unique_ptr<SoundNeedScope> need_;
    std::vector<KeyedElement> elements_;
    std::unique_ptr<ContactSink> forward_;  // hands contacts to the session while there is one
    std::unique_ptr<SendingPractice> practice_;
};
