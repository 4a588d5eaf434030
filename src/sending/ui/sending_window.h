#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "keyinput/keyboard_keys.h"
#include "keyinput/midi_sequencer.h"
#include "keyinput/modem_lines.h"
#include "keyinput/serial_ports.h"
#include "sending/keyed_elements.h"
#include "sending/sending_settings.h"

class Announcer;
class KeyArea;
class KeyInput;
class KeyingSession;
class MidiKey;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;
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
};

// "Geben üben": the learner keys with the keyboard, the mouse, a serial key cable or a MIDI
// adapter, through the chosen keyer, and hears the sidetone at once; the marks and spaces are
// listed and can be played back. While the window is open the keys belong to it: its contact
// keys never trigger a shortcut.
class SendingWindow : public QDialog {
    Q_OBJECT
public:
    SendingWindow(SendingWindowServices services, QWidget* parent = nullptr);
    ~SendingWindow() override;

    // Everything keyed while the window was open, in order.
    const std::vector<KeyedElement>& elements() const { return elements_; }
    // Takes what the keyer has completed into the list and the display now.
    void collectElements();

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

    std::unique_ptr<KeyingSession> session_;
    std::unique_ptr<KeyInput> keyboardInput_;
    std::unique_ptr<KeyInput> mouseInput_;
    std::unique_ptr<SerialKey> serial_;
    std::unique_ptr<MidiKey> midi_;
    std::unique_ptr<SoundNeedScope> need_;
    std::vector<KeyedElement> elements_;
    std::unique_ptr<ContactSink> forward_;  // hands contacts to the session while there is one
};
