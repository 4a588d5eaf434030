#include "mainwindow/run_control.h"

#include "engine/number_format.h"
#include "engine/record_hooks.h"
#include "engine/spoken_characters.h"
#include "engine/timing.h"
#include "exercises/current_exercise.h"
#include "platform/clock.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "platform/tonwerk.h"
#include "state/shared_state.h"


namespace {
// A run lives inside the start handler. A start while a stopped run is still finishing its
// character, or the next run of continuous Morse, is queued here and begun once the running
// one has returned, so that runs never nest.
int runDepth = 0;
bool restartPending = false;

void startRun() {
    SharedState& s = S();
    Form1& f = form1();
    Platform().surface->font.name = QStringLiteral("Arial");
    if (f.O_Verkl.ticked()) {
        s.SavedCharSpacing = s.CharSpacing;
        s.SpacingStep = ((s.CharSpacing - 1.0f) / s.GroupCount) * 0.1f;
    }
    f.Comstart.setEnabled(false);
    f.comexit.setEnabled(false);
    f.comstop.setEnabled(true);
    f.compause.setEnabled(true);
    s.StopRequested = false;
    s.Paused = false;
    s.PitchDrift = 1.0f;
    s.ReadPosition = 1;
    f.PB1.setValue(0);
    if (f.tonschwank.ticked()) {
        s.TonePitch = s.SavedPitch;
        f.L_Ton.setCaption(ShortestText(s.TonePitch));
    }
    s.SentCount = 0;
    s.SentText.clear();
    s.NormalRun = true;
    ComputeTiming();
    Platform().random.Randomize(Platform().clock->secondsSinceMidnight());
    SendCurrentExercise();
    if (s.StopRequested) RecordRunEnd(false);
}
}  // namespace

void Comstart_Click() {
    S().ElementCount = 0;
    if (!S().RunAllowed) return;
    if (runDepth > 0) {
        restartPending = true;
        form1().Comstart.setEnabled(false);
        return;
    }
    ++runDepth;
    // A run's schedule is known ahead: the generous buffer, even when started from keyboard
    // mode.
    SoundNeedScope need(Platform().tonwerk->output(), {});
    do {
        restartPending = false;
        startRun();
    } while (restartPending && S().RunAllowed);
    --runDepth;
}

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

void comloe_Click() {
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    S().SentCount = 0;
    display.CurrentX = f.shape1.Left + 200;
    display.CurrentY = f.shape1.Top + 50;
    f.shape1.Redraw();
}

void Timer2_Timer() {
    const float now = static_cast<float>(Platform().clock->secondsSinceMidnight());
    form1().Minuten.setCaption(FormatNumber(now - S().StartTime, QStringLiteral("#0")));
}

void RestoreNormalDisplay() {
    Form1& f = form1();
    PlayWave(QStringLiteral(".\\alfa\\S12"));
    comloe_Click();
    f.shape1.setFillColor(RGB(192, 192, 192));
    f.Text2.setVisible(false);
    S().NormalRun = true;
    Platform().surface->font.name = QStringLiteral("Arial");
}
