#include "mainwindow/run_control.h"

#include "engine/display_reset.h"
#include "engine/record_hooks.h"
#include "engine/run_frame.h"
#include "engine/spoken_characters.h"
#include "engine/timing.h"
#include "exercises/current_exercise.h"
#include "platform/clock.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
// A run lives inside the start handler. A start while a stopped run is still finishing its
// character, while the test preamble sounds, or the next run of continuous Morse, is queued
// here and begun once the running one has returned, so that runs never nest.
int runDepth = 0;
bool restartPending = false;

// The test preamble sounds only when nothing else does: no run, preamble, drill or reading.
bool testPreambleAllowed() {
    const SharedState& s = S();
    const Form1& f = form1();
    return runDepth == 0 && !s.InPreamble && !s.ReadingAloud && s.RunAllowed &&
           !f.COM_FA.pressed() && f.Comstart.enabled();
}

void startRun() {
    Form1& f = form1();
    f.Comstart.setEnabled(false);
    f.comexit.setEnabled(false);
    f.comstop.setEnabled(true);
    f.compause.setEnabled(true);
    PrepareRun();
    SendCurrentExercise();
    if (S().StopRequested) RecordRunEnd(false);
}

void runPendingStarts() {
    ++runDepth;
    ShowTestPreambleState();
    // A run's schedule is known ahead: the generous buffer, even when started from keyboard
    // mode.
    SoundNeedScope need(Platform().tonwerk->output(), {});
    while (restartPending && S().RunAllowed) {
        restartPending = false;
        startRun();
    }
    --runDepth;
    ShowTestPreambleState();
}
}  // namespace

void Comstart_Click() {
    S().ElementCount = 0;
    if (!S().RunAllowed) return;
    restartPending = true;
    if (runDepth > 0) {
        form1().Comstart.setEnabled(false);
        return;
    }
    runPendingStarts();
}

void COM_vvv_Click() {
    if (!testPreambleAllowed()) return;
    SharedState& s = S();
    Form1& f = form1();
    // The preamble sets up a run: on its own it gives back all it changed, so that settings,
    // the sent text and the seconds display stay as they were.
    const float speed = s.Speed;
    const float charSpacing = s.CharSpacing;
    const float savedCharSpacing = s.SavedCharSpacing;
    const float basePitch = s.BasePitch;
    const float startSpeed = s.StartSpeed;
    const float runGroupCount = s.RunGroupCount;
    const double startTime = s.StartTime;
    const int32_t playedCount = s.PlayedCount;
    const int32_t sentCount = s.SentCount;
    const bool clockShown = f.Timer2.isEnabled();

    ++runDepth;
    ShowTestPreambleState();
    SendPreamble();
    s.Speed = speed;
    s.CharSpacing = charSpacing;
    s.SavedCharSpacing = savedCharSpacing;
    s.BasePitch = basePitch;
    s.StartSpeed = startSpeed;
    s.RunGroupCount = runGroupCount;
    s.StartTime = startTime;
    s.PlayedCount = playedCount;
    s.SentCount = sentCount;
    f.Timer2.setTimerEnabled(clockShown);
    ComputeTiming();
    --runDepth;
    ShowTestPreambleState();
    // A start pressed meanwhile has waited for the preamble's end.
    if (restartPending) runPendingStarts();
}

void ShowTestPreambleState() { form1().COM_vvv.setEnabled(testPreambleAllowed()); }

void compause_Click() {
    SharedState& s = S();
    Form1& f = form1();
    if (s.Paused) {
        f.compause.setFace(QStringLiteral("pause"));
        s.Paused = false;
        if (f.Ohr.ticked()) f.Timer2.setTimerEnabled(true);
    } else {
        f.Timer2.setTimerEnabled(false);
        s.Paused = true;
        f.compause.setFace(QStringLiteral("weiter"));
    }
    // The keyboard focus goes back to the window itself.
    f.shape1.SetFocus();
}

void comstop_Click() {
    SharedState& s = S();
    Form1& f = form1();
    if (s.ReadingAloud) {
        s.ReadingAloud = false;
        return;
    }
    Platform().tonwerk->StopSound();
    // A start still waiting for the stopped run, or for the next run of continuous Morse, is
    // cancelled too.
    restartPending = false;
    f.PB1.setValue(0);
    f.compause.setFace(QStringLiteral("pause"));
    f.Dauermorsen.setValue(0);
    s.StopRequested = true;
    s.Paused = false;
    f.Comstart.setEnabled(true);
    f.comexit.setEnabled(true);
}

void comexit_Click() {
    Form1& f = form1();
    f.comexit.setFace(QString());
    f.comexit.setCaption(QStringLiteral("Warten"));
    Platform().exitProgram();
}

void comloe_Click() { ClearDisplay(); }

void Timer2_Timer() {
    // On the clock that never jumps, so that a run across midnight counts on.
    const auto elapsed = static_cast<float>(Platform().clock->monotonicSeconds() - S().StartTime);
    form1().Minuten.setCaption(FormatNumber(elapsed, QStringLiteral("#0")));
}
