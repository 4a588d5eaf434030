#pragma once

#include <QString>
#include <cstdint>

#include "sending/keyer.h"
#include "sending/sending_exercise.h"

// Where the contacts come from.
enum class KeySource { Keyboard = 0, Mouse = 1, Serial = 2, Midi = 3 };

// The choices of "Geben üben", kept in the user settings between starts.
struct SendingSettings {
    KeySource source = KeySource::Keyboard;
    KeyerMode mode = KeyerMode::IambicB;
    int weightPercent = 50;
    // Native scan codes of the keyboard's contacts; 0 = none.
    uint32_t straightKey = 0;
    uint32_t ditKey = 37;   // left Ctrl
    uint32_t dahKey = 105;  // right Ctrl
    QString serialPort;     // /dev/ttyUSB0
    QString midiPort;       // sequencer port name
    SendingMode exercise = SendingMode::Free;
    bool hideTemplate = false;  // "Vorlage ausblenden"

    bool operator==(const SendingSettings&) const = default;
};

// Read back into range: a value that is missing, no number or out of range keeps its default.
SendingSettings LoadSendingSettings();
void SaveSendingSettings(const SendingSettings& settings);
