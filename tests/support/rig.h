#pragma once

#include <QStringList>
#include <memory>

#include "platform/clock_background_work.h"
#include "platform/form1.h"
#include "platform/recording_dialog_seam.h"
#include "platform/recording_print_layer.h"
#include "platform/recording_surface.h"
#include "platform/services.h"
#include "platform/virtual_clock.h"
#include "sound/offline_output.h"
#include "sound/tonwerk.h"
#include "sound/wave_player.h"
#include "state/shared_state.h"

// Records the names of the sound files the program asked for and takes a fixed time for each.
class RecordingWavePlayer : public WavePlayer {
public:
    explicit RecordingWavePlayer(VirtualClock& clock) : clock_(clock) {}
    void play(const QString& legacyName) override;
    QStringList played;
    double secondsPerFile = 0;  // how long a found file lasts

private:
    VirtualClock& clock_;
};

// A fresh trainer on the virtual clock with the offline sound output and a recording display:
// the state record and the window's controls start from their design values, the platform
// services point here, and the random numbers are seeded with `seed`.
struct TestRig {
    explicit TestRig(uint32_t seed = 1);
    ~TestRig();

    // Runs the main window's start-up (Form_Initialize, Form_Load, Form_Activate).
    void startUp();

    VirtualClock clock;
    OfflineOutput output{clock, 48000};
    Tonwerk tonwerk{output, clock};
    RecordingSurface surface;
    RecordingWavePlayer wave{clock};
    RecordingPrintLayer printer;
    RecordingDialogSeam dialogs;
    // The record's queries: at once, their results from the clock's event processing.
    ClockBackgroundWork background{clock};
    SharedState& s;
    Form1& f;
};
