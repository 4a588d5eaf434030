#include "engine/send_character.h"

#include <cmath>

#include "engine/spoken_characters.h"
#include "engine/timing.h"
#include "engine/tone_control.h"
#include "platform/clock.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
void holdWhilePaused() {
    while (S().Paused) Platform().clock->waitForEvents(-1);
}

// One character to upper case without changing its length (ß stays ß).
QString upperCharacters(const QString& text) {
    QString out = text;
    for (QChar& c : out) c = c.toUpper();
    return out;
}

void speedUp(float factor) {
    SharedState& s = S();
    // Before the first preamble there is no run length to spread the increase over.
    if (s.RunGroupCount == 0) return;
    s.Speed = s.Speed + s.Speed * factor / (s.RunGroupCount * 5.0f);
    form1().L_Gesch.setCaption(FormatNumber(s.Speed, QStringLiteral("###")));
    ComputeTiming();
}
}  // namespace

void SendCharacter() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    Random& random = Platform().random;

    s.CurrentChar = upperCharacters(s.CurrentChar);
    holdWhilePaused();

    if (f.Ohr.ticked()) {
        if (f.anziehen1.value() != 0) speedUp(0.04f);
        if (f.anziehen2.value() != 0) speedUp(0.08f);
    }

    if (f.O_Verkl.ticked() && !s.InPreamble) {
        if (s.CharSpacing > 1.1f) s.CharSpacing = s.CharSpacing - s.SpacingStep;
        f.L_Abst.setCaption(FormatNumber(s.CharSpacing, QStringLiteral("0.0")));
        f.L_Abst.Refresh();
        ComputeTiming();
    }

    if (s.CurrentChar == QStringLiteral(" ")) {
        // Silence on the device's timeline, so that the gap keeps its length to the sample.
        if (f.Ohr.ticked()) Platform().tonwerk->PlaySilence(s.WordGap * 1000.0);
        if (f.Auge.ticked()) display.Print(s.NormalRun ? QStringLiteral("  ") : QStringLiteral(" "));
        if (s.SentCount >= 0) s.SentText += QLatin1Char(' ');
        ++s.SentCount;
        return;
    }

    if (s.CurrentChar == QStringLiteral("\\")) s.CurrentChar = QStringLiteral("/");

    if (f.Auge.ticked() && display.CurrentX > f.shape1.Left + f.shape1.Width - 300) {
        display.EndLine();
        display.CurrentX = f.shape1.Left + 300;
    }

    if (f.unsauber.ticked() && !s.InPreamble) {
        const float r1 = random.Rnd();
        const float r2 = random.Rnd();
        s.DotMs = std::floor(r1 * 15.0f - 10.0f + s.BaseDotMs);
        s.DashMs = std::floor((r2 * 30.0f - 20.0f + s.BaseDotMs) * 3.0f);
    }

    if (f.tonschwank.ticked() && !s.InPreamble) {
        const float r = random.Rnd();
        s.TonePitch = r * 5.0f + s.TonePitch + s.PitchDrift;
        if (s.BasePitch * 0.95f > s.TonePitch) s.PitchDrift = s.PitchDrift + 1.0f;
        if (s.BasePitch * 1.05f < s.TonePitch) s.PitchDrift = s.PitchDrift - 0.5f;
        f.L_Ton.setCaption(QString::number(static_cast<long long>(std::floor(s.TonePitch))));
    }

    if (f.Auge.ticked()) {
        if (s.NormalRun || f.Com_Tastatur.pressed()) {
            display.Print(s.CurrentChar == QStringLiteral("0") ? s.ZeroGlyph : s.CurrentChar);
        }
        Platform().clock->processEvents();
    }

    if (f.Ohr.ticked()) {
        PlayCharacter(s.CurrentChar);
        if (s.CharSpacing > 1.0f) {
            Platform().tonwerk->PlaySilence(s.GapUnitMs * (s.CharSpacing - 1.0));
        }
    }

    holdWhilePaused();

    if (s.SentCount >= 0) s.SentText += s.CurrentChar;
    ++s.SentCount;

    if (s.KeyboardMode && !(display.CurrentX > f.shape1.Width - 400)) {
        if (s.SentCount > 130) {
            display.CurrentX = f.shape1.Left + 200;
            display.CurrentY = f.shape1.Top + 50;
            f.shape1.Redraw();
        }
        display.Print(s.CurrentChar);
    }

    if (f.PB1.max() > f.PB1.value() && f.Ohr.ticked() && !s.InPreamble && s.RunAllowed) {
        f.PB1.setValue(f.PB1.value() + 1);
        f.PB1.Refresh();
    }

    holdWhilePaused();

    if (f.Mund.ticked()) SpeakCharacter();
    if (s.KeyboardMode) f.Text2.setText(QString());
}
