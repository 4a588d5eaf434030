#include "engine/run_frame.h"

#include <QLocale>
#include <cmath>

#include "engine/printing.h"
#include "engine/record_hooks.h"
#include "engine/send_character.h"
#include "engine/timing.h"
#include "platform/clock.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
void sendOne(const QString& c) {
    S().CurrentChar = c;
    SendCharacter();
}

// The end of a run in continuous Morse: count down, and either close the series or ask for the
// next run after the pause.
void continueSeries() {
    SharedState& s = S();
    Form1& f = form1();
    bool isNumber = false;
    const double left = QLocale().toDouble(f.pan_dau.caption().trimmed(), &isNumber);
    // A count that is not a number ends the series after this run.
    const double remaining = isNumber ? left - 1 : 0;
    f.pan_dau.setCaption(ShortestText(static_cast<float>(remaining)));
    if (remaining < 1) {
        if (s.PrintAfterRun == 1) PrintClosingLines();
        f.Dauermorsen.setValue(0);
        f.COM_S2.click();
        return;
    }
    WaitSeconds(8);
    f.pan_dau.Refresh();
    WaitSeconds(1);
    // Stop during the pause ends the series instead of starting one more run behind the
    // user's back.
    if (!s.StopRequested) f.Comstart.click();
}
}  // namespace

void SetDisplayFontSize() {
    const double groups = S().GroupCount;
    const double size = 20.0 * std::pow(groups, -0.0025 * groups);
    Platform().surface->font.sizePt = static_cast<float>(size);
}

void SendPreamble() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    Clock& clock = *Platform().clock;

    const int spoken = f.Mund.value();
    f.Mund.setValue(2);
    s.SavedCharSpacing = s.CharSpacing;
    s.InPreamble = true;
    s.BasePitch = s.TonePitch;
    s.StartSpeed = s.Speed;
    s.CharSpacing = 1.0f;
    ComputeTiming();
    f.shape1.Redraw();
    display.CurrentX = f.shape1.Left + 300;
    display.CurrentY = f.shape1.Top + (s.GroupCount >= 18 ? 50 : 120);
    if (s.ExerciseKind == QStringLiteral("C")) display.CurrentY = f.shape1.Top + 120;
    display.foreColor = RGB(192, 0, 0);
    s.RunGroupCount = s.GroupCount;
    s.SentCount = -6;
    for (const char* c : {"v", "v", "v", " ", "*", " "}) sendOne(QString::fromLatin1(c));
    s.CharSpacing = s.SavedCharSpacing;
    ComputeTiming();
    f.Timer2.setTimerEnabled(true);
    s.InPreamble = false;
    display.foreColor = RGB(0, 0, 0);
    f.PB1.setValue(0);
    f.PB1.Refresh();
    s.SentCount = 0;
    f.Mund.setValue(spoken);
    Platform().random.Randomize(clock.secondsSinceMidnight());
    s.StartTime = clock.monotonicSeconds();
    f.Timer2.setTimerEnabled(true);
    s.PlayedCount = 0;
    s.InPreamble = false;
    RecordRunStart();
}

void ShowStatistics() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;

    const float elapsed = static_cast<float>(Platform().clock->monotonicSeconds() - s.StartTime);
    f.Minuten.setCaption(FormatNumber(elapsed, QStringLiteral("00.0")));
    if (elapsed > 0) s.EffectiveSpeed = static_cast<float>(s.PlayedCount) / elapsed * 60.0f;
    f.panschnitt.setCaption(FormatNumber(s.EffectiveSpeed, QStringLiteral("00.0")));
    f.panschnitt.setBackColor(RGB(255, 255, 255));
    RecordRunEnd(true);
    display.foreColor = RGB(208, 0, 0);
    f.Timer2.setTimerEnabled(false);
    s.SentCount = -1;
    sendOne(QStringLiteral("+"));
    // The run is over when its last sign has been heard, not when it was handed to the device.
    if (f.Ohr.ticked()) Platform().tonwerk->WaitUntilHeard();
    display.foreColor = RGB(0, 0, 0);
    s.TonePitch = s.BasePitch;
    f.L_Ton.setCaption(ShortestText(s.TonePitch));
    if (f.Ohr.ticked()) {
        while (f.PB1.value() > 2) {
            f.PB1.setValue(f.PB1.value() - 1);
            WaitSeconds(0.005f);
        }
        f.PB1.setValue(0);
        f.PB1.Refresh();
    }
    s.Speed = s.StartSpeed;
    s.Paused = false;
    s.CharSpacing = s.SavedCharSpacing;
    f.L_Gesch.setCaption(ShortestText(s.Speed));
    f.L_Abst.setCaption(FormatNumber(s.CharSpacing, QStringLiteral("0.0")));
    f.Comstart.setEnabled(true);
    f.comstop.setEnabled(false);
    f.compause.setEnabled(false);
    f.comexit.setVisible(true);
    f.Comstart.SetFocus();
    if (s.PrintAfterRun == 1) PrintSentText();
    if (f.Dauermorsen.ticked()) continueSeries();
    f.comexit.setEnabled(true);
}
