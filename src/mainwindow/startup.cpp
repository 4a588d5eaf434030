#include "mainwindow/startup.h"

#include "engine/morse_table.h"
#include "engine/printing.h"
#include "engine/timing.h"
#include "exercises/abbreviations.h"
#include "exercises/character_sets.h"
#include "exercises/exercise_menu.h"
#include "mainwindow/settings_file.h"
#include "platform/clock.h"
#include "platform/dialog_form.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

void Form_Initialize() {
    SharedState& s = S();
    s.Speed = 60;
    s.CharSpacing = 1.0f;
    s.RunAllowed = true;
}

void Form_Load() {
    SharedState& s = S();
    Form1& f = form1();
    f.Height = 7335;
    // A third of the free height above the window, two thirds below; centred across.
    f.Top = (Screen().Height - f.Height) / 3;
    f.Left = (Screen().Width - f.Width) / 2;
    s.ElementBuffer.assign(100, 0);
    ShowPrinterName();
    ReadAbbreviations();

    f.Timer2.setTimerEnabled(false);
    f.Ohr.setValue(1);
    f.Auge.setValue(1);
    f.Mund.setValue(0);
    s.PrintAfterRun = 0;

    TextSurface* surface = Platform().surface;
    if (surface) {
        surface->mousePointer = MousePointer::Hourglass;
        surface->pointerChanged();
    }
    s.PitchDrift = -2.6f;
    s.Speed = 60;
    s.StartSpeed = s.Speed;
    f.L_Gesch.setCaption(ShortestText(s.Speed));
    s.TonePitch = 800;
    s.SavedPitch = static_cast<int16_t>(RoundHalfEven(s.TonePitch));
    f.L_Ton.setCaption(ShortestText(s.TonePitch));
    s.GroupCount = 12;
    f.L_Anz.setCaption(ShortestText(s.GroupCount));
    s.GroupCountInt = static_cast<int16_t>(RoundHalfEven(s.GroupCount));
    s.CharSpacing = 1.0f;
    s.WordSpacing = 1.0f;
    f.L_WAbst.setCaption(FormatNumber(s.WordSpacing, QStringLiteral("#0.0")));
    f.L_Abst.setCaption(FormatNumber(s.CharSpacing, QStringLiteral("#0.0")));
    f.UpDownGesch.setValue(static_cast<int>(RoundHalfEven(s.Speed)));
    InitCharacterSets();

    if (surface) {
        surface->mousePointer = MousePointer::Default;
        surface->pointerChanged();
    }
    f.Show();
    Platform().random.Randomize(Platform().clock->secondsSinceMidnight());
    s.ZeroGlyph = FromCp1252(216);
    comload_cst_Click();
    BuildMorseTable();
    // "Schnitt" shows the effective speed of the settings just loaded, not its design value.
    ComputeTiming();
    f.Timer_Uhrzeit.setTimerEnabled(true);
}

void Form_Activate() {
    Form1& f = form1();
    const QDateTime now = Platform().clock->now();
    f.Datum0.setCaption(now.toString(QStringLiteral("dd.MM.yy")));
    f.Datum1.setCaption(now.toString(QStringLiteral("hh:mm")));
    f.Panel2.setCaption(QStringLiteral("HÖREN"));
    Artupdate();
    f.fuer.setCaption(QStringLiteral(" Version 1.0"));
}

void Timer_Uhrzeit_Timer() {
    form1().Datum1.setCaption(Platform().clock->now().toString(QStringLiteral("HH:mm")));
}
