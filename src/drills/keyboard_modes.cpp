#include "drills/keyboard_modes.h"

#include <algorithm>

#include "engine/display_reset.h"
#include "engine/morse_table.h"
#include "engine/spoken_characters.h"
#include "engine/timing.h"
#include "engine/tone_control.h"
#include "platform/clock.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
// "v vorne" pressed during a reading: the reading goes back to its first character.
bool restartReading = false;

constexpr int kEscape = 27;
}  // namespace

void Com_Tastatur_Click() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    Clock& clock = *Platform().clock;
    // A typed key must sound at once: a short device buffer, and a stream that keeps running
    // while the loop waits for keys. Asked for before the heading, whose second covers the
    // sound server's start of the new stream, which can take half a second or more.
    SoundNeedScope need(Platform().tonwerk->output(), {.promptResponse = true, .keepOpen = true});

    ClearDisplay();
    f.shape1.setFillColor(RGB(192, 255, 192));
    f.Panel2.setCaption(QStringLiteral("Schreibmaschine"));
    f.shape1.Redraw();

    display.CurrentX += 3500;
    display.CurrentY += 500;
    display.font = FontSpec{QStringLiteral("courier New"), 18, true, false};
    s.StopRequested = false;
    display.Print(QStringLiteral("Schreibmaschine"), true);

    WaitSeconds(1.0f);
    s.CharSpacing = 1.0f;
    f.L_Abst.setCaption(QStringLiteral("1"));
    f.L_Abst.Refresh();
    // The character gap follows the spacing only once the timing has been derived again.
    ComputeTiming();

    s.NormalRun = false;
    f.PB1.setValue(0);

    display.CurrentX = f.shape1.Left + 200;
    display.CurrentY = f.shape1.Top + 50;
    PlayWave(QStringLiteral("alfa\\s7"));
    f.shape1.Redraw();
    display.foreColor = RGB(0, 0, 0);

    f.Text2.setVisible(true);
    f.Text2.SetFocus();
    f.Text2.setText(QString());
    f.Text2.SetFocus();

    // The key handler queues, this loop sounds: PlayCharacter returns when its character has
    // sounded, so fast typing is sounded in order, one character after the other. With nothing
    // queued the loop sleeps until the next event.
    s.KeyboardMode = true;
    while (s.KeyboardMode) {
        clock.processEvents();
        if (s.KeyQueue.isEmpty()) {
            clock.waitForEvents(-1);
            continue;
        }
        const QString key = s.KeyQueue.left(1);
        s.KeyQueue.remove(0, 1);
        PlayCharacter(key);
    }
}

void Form_KeyPress(int& keyCode) {
    SharedState& s = S();
    if (!s.KeyboardMode || keyCode == 0) return;
    Form1& f = form1();
    TextSurface& display = *Platform().surface;

    // Esc is no Morse character: it leaves the mode the way "Hören" does, once this key's
    // handling is over.
    if (keyCode == kEscape) {
        keyCode = 0;
        Platform().clock->post([] {
            if (S().KeyboardMode) form1().C_Hoeren.click();
        });
        return;
    }

    // The key stays out of CurrentChar: a run started in keyboard mode is using it.
    const QString key(FromCp1252(keyCode).toUpper());
    keyCode = 0;
    f.Text2.setText(key);
    s.KeyQueue += key;

    if (f.Auge.ticked() && f.shape1.Left + f.shape1.Width - 300 < display.CurrentX) {
        display.EndLine();
        display.CurrentX = f.shape1.Left + 300;
    }
    display.Print(key);
}

void LeaveKeyboardMode() {
    SharedState& s = S();
    Form1& f = form1();
    s.KeyQueue.clear();
    s.KeyboardMode = false;
    f.Text2.setText(QString());
    // SendCharacter echoes every character while the keyboard button counts as pressed.
    f.Com_Tastatur.setPressed(false);
}

void C_Hoeren_Click() {
    Form1& f = form1();
    TextSurface& display = *Platform().surface;

    LeaveKeyboardMode();
    // Releasing the drill button ends a running question-and-answer drill at its next wait.
    f.COM_FA.setPressed(false);

    ClearDisplay();
    display.font.sizePt = 14;
    display.CurrentX += 4800;
    display.CurrentY += 500;
    f.pan1.setCaption(QStringLiteral("Hören"));
    display.Print(QStringLiteral("HÖREN"), true);

    WaitSeconds(1.0f);
    ClearDisplay();
    S().RunAllowed = true;
}

void com_vorlesen_Click() {
    SharedState& s = S();
    Form1& f = form1();
    // A second reading inside the first would take the first one's spacing 1.0 for the user's.
    if (s.ReadingAloud) return;
    restartReading = false;

    s.SavedCharSpacing = s.CharSpacing;
    s.CharSpacing = 1.0f;
    s.ReadingAloud = true;
    SoundNeedScope need(Platform().tonwerk->output(), {});
    f.comstop.setEnabled(true);

    if (!s.SentText.isEmpty()) {
        f.Mund.setValue(1);
        f.Comstart.setEnabled(false);
        const int length = static_cast<int>(s.SentText.size());
        for (int i = std::max<int>(1, s.ReadPosition); i <= length; ++i) {
            if (restartReading) {
                restartReading = false;
                i = 1;
            }
            if (!s.ReadingAloud) {
                s.ReadPosition = static_cast<int16_t>(i);
                break;
            }
            s.CurrentChar = s.SentText.at(i - 1);
            SpeakCharacter();
            Platform().clock->processEvents();
        }
    }

    s.ReadingAloud = false;
    s.CharSpacing = s.SavedCharSpacing;
}

void Command2_Click() {
    S().ReadPosition = 1;
    // During a reading, that reading goes back to the first character after the one in progress.
    if (S().ReadingAloud) {
        restartReading = true;
        return;
    }
    com_vorlesen_Click();
}
