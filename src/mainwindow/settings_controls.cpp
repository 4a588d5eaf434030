#include "mainwindow/settings_controls.h"

#include "engine/spoken_characters.h"
#include "engine/timing.h"
#include "exercises/exercise_menu.h"
#include "mainwindow/settings_file.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/external_program.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "state/shared_state.h"

namespace {
// The effect switches name the click sound in the sound folder, the language buttons without a
// folder; the two names are kept apart on purpose.
const QString kClickInFolder = QStringLiteral(".\\alfa\\S12");
const QString kClickPlain = QStringLiteral("S12");

// The volume controls of the common desktops, tried in this order.
struct VolumeControl {
    const char* program;
    const char* argument;
};
constexpr VolumeControl kVolumeControls[] = {
    {"pavucontrol", nullptr},          {"pavucontrol-qt", nullptr},
    {"gnome-control-center", "sound"}, {"mate-volume-control", nullptr},
    {"xfce4-mixer", nullptr},          {"kmix", nullptr},
};
}  // namespace

void UpDownGesch_Change() {
    SharedState& s = S();
    const float value = static_cast<float>(form1().UpDownGesch.value());
    if (s.Speed == value) return;
    s.StartSpeed = s.Speed;
    s.Speed = value;
    form1().L_Gesch.setCaption(ShortestText(s.Speed));
    ComputeTiming();
}

void UpDownTon_Change() {
    Form1& f = form1();
    S().TonePitch = static_cast<float>(f.UpDownTon.value());
    f.L_Ton.setCaption(QString::number(f.UpDownTon.value()));
    Platform().clock->processEvents();
}

void UpDownAnz_Change() {
    Form1& f = form1();
    S().GroupCount = static_cast<float>(f.UpDownAnz.value());
    f.L_Anz.setCaption(QString::number(f.UpDownAnz.value()));
}

void UpDownAbst_Change() {
    Form1& f = form1();
    const int value = f.UpDownAbst.value();
    if (value < 10 || value > 199) return;
    S().CharSpacing = static_cast<float>(value) / 10.0f;
    f.L_Abst.setCaption(FormatNumber(S().CharSpacing, QStringLiteral("0.0")));
    ComputeTiming();
}

void UpDownWAbst_Change() {
    Form1& f = form1();
    const int value = f.UpDownWAbst.value();
    if (value < 10 || value > 50) return;
    S().WordSpacing = static_cast<float>(value) / 10.0f;
    f.L_WAbst.setCaption(FormatNumber(S().WordSpacing, QStringLiteral("0.0")));
    ComputeTiming();
}

void LT_Change() {
    Form1& f = form1();
    f.L_LT.setCaption(QStringLiteral("langer Ton ") +
                      ShortestText(static_cast<float>(f.LT.value()) / 10.0f));
    ComputeTiming();
}

void anziehen1_Click() { PlayWave(kClickInFolder); }

void anziehen2_Click() { PlayWave(kClickInFolder); }

void O_Verkl_Click() { PlayWave(kClickInFolder); }

void tonschwank_Click() {
    SharedState& s = S();
    // The same whether the box is now ticked or not: the next run fluctuates around this pitch.
    s.PitchDrift = 0.02f;
    s.SavedPitch = static_cast<int16_t>(RoundHalfEven(s.TonePitch));
    form1().L_Ton.setCaption(ShortestText(s.TonePitch));
}

void unsauber_Click() {
    if (form1().unsauber.ticked()) S().DotMs = S().BaseDotMs;
}

void deutsch_Click() { PlayWave(kClickPlain); }

void englisch_Click() { PlayWave(kClickPlain); }

void C_Default_Click() {
    SharedState& s = S();
    Form1& f = form1();
    s.Speed = 60;
    s.StartSpeed = 60.0f;
    s.TonePitch = 800;
    s.SavedPitch = 800;
    s.GroupCount = 12;
    s.GroupCountInt = 12;
    s.CharSpacing = 1.0f;
    s.ExerciseKind = QStringLiteral("Z");
    // Each box that was ticked runs its click handler as it goes off.
    f.O_Verkl.setValue(0);
    f.unsauber.setValue(0);
    f.tonschwank.setValue(0);
    f.anziehen2.setValue(0);
    f.anziehen1.setValue(0);
    f.UpDownAbst.setValue(10);
    f.UpDownWAbst.setValue(10);
    s.CharSpacing = 1.0f;
    s.WordSpacing = 1.0f;
    s.StartSpeed = s.Speed;
    f.L_Gesch.setCaption(ShortestText(s.Speed));
    s.SavedPitch = static_cast<int16_t>(RoundHalfEven(s.TonePitch));
    f.L_Ton.setCaption(ShortestText(s.TonePitch));
    f.L_Anz.setCaption(ShortestText(s.GroupCount));
    f.L_Abst.setCaption(FormatNumber(1.0, QStringLiteral("#0.0")));
    f.L_WAbst.setCaption(FormatNumber(1.0, QStringLiteral("#0.0")));
    Artupdate();
    ComputeTiming();
}

void com_s1_Click() { PlayWave(QStringLiteral(".\\Alfa\\S1")); }

void COM_S2_Click() { PlayWave(QStringLiteral(".\\Alfa\\S2")); }

void com_s3_Click() { PlayWave(QStringLiteral(".\\Alfa\\S3")); }

void Command1_Click() {
    for (const VolumeControl& control : kVolumeControls) {
        QStringList arguments;
        if (control.argument) arguments << QString::fromLatin1(control.argument);
        if (StartDetachedProgram(QString::fromLatin1(control.program), arguments)) return;
    }
    if (DialogSeam* dialogs = Platform().dialogs) {
        dialogs->message(QStringLiteral(
            "Es wurde keine Lautstärkeregelung gefunden. Bitte die Lautstärke in den "
            "Einstellungen des Desktops anpassen."));
    }
}

void WireSettingsControls() {
    Form1& f = form1();
    f.UpDownGesch.onChange = UpDownGesch_Change;
    f.UpDownTon.onChange = UpDownTon_Change;
    f.UpDownAnz.onChange = UpDownAnz_Change;
    f.UpDownAbst.onChange = UpDownAbst_Change;
    f.UpDownWAbst.onChange = UpDownWAbst_Change;
    f.LT.onChange = LT_Change;
    f.anziehen1.onClick = anziehen1_Click;
    f.anziehen2.onClick = anziehen2_Click;
    f.tonschwank.onClick = tonschwank_Click;
    f.unsauber.onClick = unsauber_Click;
    f.O_Verkl.onClick = O_Verkl_Click;
    f.deutsch.onClick = deutsch_Click;
    f.englisch.onClick = englisch_Click;
    f.C_Default.onClick = C_Default_Click;
    f.com_s1.onClick = com_s1_Click;
    f.COM_S2.onClick = COM_S2_Click;
    f.com_s3.onClick = com_s3_Click;
    f.Command1.onClick = Command1_Click;
    f.Comsave_cst.onClick = Comsave_cst_Click;
    f.comload_cst.onClick = comload_cst_Click;
}
