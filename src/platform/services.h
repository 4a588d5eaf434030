#pragma once

#include "platform/random.h"

#include <QString>

#include <functional>

class Clock;
class TextSurface;
class Tonwerk;
class WavePlayer;
class PrintLayer;
class DialogSeam;
class RecordSink;

// The platform services the logic uses, installed once by the program (or by a test). Nothing
// above platform/ reaches the clock, the sound device, WAV files, the printer or modal dialogs
// any other way.
struct Services {
    Clock* clock = nullptr;
    TextSurface* surface = nullptr;
    Tonwerk* tonwerk = nullptr;
    WavePlayer* wave = nullptr;
    PrintLayer* printer = nullptr;
    DialogSeam* dialogs = nullptr;
    // The learner's record; nothing is recorded while none is installed.
    RecordSink* record = nullptr;
    Random random;
    // Ends the process at once (exit button, window closed): closes the sound device and any
    // open print job first.
    std::function<void()> exitProgram;
    // The installed data folder, searched after the working directory for the data files.
    QString installedDataDir;
};

Services& Platform();
