#include "drills/question_answer.h"

#include <cmath>

#include "drills/keyboard_modes.h"
#include "engine/display_reset.h"
#include "engine/record_hooks.h"
#include "engine/send_character.h"
#include "engine/spoken_characters.h"
#include "engine/timing.h"
#include "exercises/random_groups.h"
#include "platform/clock.h"
#include "platform/display_meaning.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
constexpr Rgb kBlack = RGB(0, 0, 0);
constexpr Rgb kGreen = RGB(0, 128, 0);
constexpr Rgb kBlue = RGB(0, 0, 192);
constexpr Rgb kDarkRed = RGB(192, 0, 0);
constexpr Rgb kRed = RGB(255, 0, 0);
constexpr Rgb kCyan = RGB(0, 128, 128);

constexpr long long kSecondsPerDay = 86400;

bool drillRunning = false;

struct Tally {
    int given = 0;
    int right = 0;
    int wrong = 0;
    int column = 0;  // characters written on the display
};

// Each character on its own, so that a character never changes its length (ß stays ß).
QString upperCharacters(const QString& text) {
    QString out = text;
    for (QChar& c : out) c = c.toUpper();
    return out;
}

long long wholeSecondsNow() { return RoundHalfEven(Platform().clock->secondsSinceMidnight()); }

// Waits until a key has put text into the answer box. False when the drill button was released
// meanwhile ("Hören"): the drill then ends quietly.
bool waitForAnswerBox() {
    Form1& f = form1();
    while (f.Text2.text().isEmpty()) {
        if (!f.COM_FA.pressed()) return false;
        Platform().clock->waitForEvents(-1);
    }
    return true;
}

void prepareDrill() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    f.comstop.setEnabled(true);
    s.CharSpacing = 1.0f;
    s.WordSpacing = 1.0f;
    f.L_Abst.setCaption(QStringLiteral("1"));
    f.L_WAbst.setCaption(QStringLiteral("1"));
    // The gaps follow the spacing only once the timing has been derived again.
    ComputeTiming();
    f.Com_Tastatur.setEnabled(false);
    s.RunAllowed = false;
    s.StopRequested = false;
    s.NormalRun = false;
    f.pan1.setCaption(QStringLiteral("Frage + Antwort"));
    f.shape1.Redraw();
    f.Text2.setVisible(true);
    ClearDisplay();
    display.foreColor = kBlack;
    display.font.sizePt = 12;
    f.Text2.setText(QString());
    display.font.name = QStringLiteral("arial");
    display.font.bold = false;
}

void showInstructions() {
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    auto startLine = [&display] { display.CurrentX = 1200; };

    display.CurrentY = f.shape1.Top + 50;
    startLine();
    display.Print(
        QStringLiteral("Ich gebe Ihnen jetzt ein Zeichen,   Sie antworten über die Tastatur."),
        true);
    startLine();
    display.Print(
        QStringLiteral("Wenn Sie richtig geantwortet haben bekommen Sie ein neues Zeichen!"), true);
    startLine();
    display.Print(
        QStringLiteral("Falls nicht,  wiederhole ich das Zeichen,    wenn es Ihnen garnicht ein-"),
        true);
    startLine();
    display.Print(QStringLiteral("fallen sollte drücken Sie die         "));
    display.foreColor = kGreen;
    display.Print(QStringLiteral("      <Leertaste> "), true);
    display.foreColor = kBlack;
    startLine();
    display.Print(QStringLiteral("Beenden Sie diese Übung mit ....      "));
    display.foreColor = kBlue;
    display.Print(QStringLiteral("  <ENTER>"), true);

    PlayWave(QStringLiteral("alfa\\S8"));
    display.CurrentY += 40;
    display.foreColor = kDarkRed;
    startLine();
    display.Print(
        QStringLiteral("Wenn Sie dieses gelesen haben, drücken Sie auf ....  <LEERTASTE>"), true);
    PlayWave(QStringLiteral("alfa\\S13"));
    display.font.name = QStringLiteral("Arial");
}

void reportNoCharacters() {
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    display.CurrentX = f.shape1.Left + 300;
    display.CurrentY = f.shape1.Top + 120;
    display.foreColor = kDarkRed;
    display.Print(
        QStringLiteral("Keine Zeichen zum Abfragen: bitte Zeichen oder Lektionen wählen."), true);
    display.foreColor = kBlack;
}

// Writes a finished character; the display reads in groups of five.
void writeFinished(Tally& tally) {
    TextSurface& display = *Platform().surface;
    display.Print(S().CurrentChar);
    ++tally.column;
    if (tally.column % 5 == 0) display.Print(QStringLiteral(" "));
}

enum class Outcome { Finished, Released };

// Asks characters until the user presses Enter (Finished) or the drill button is released.
Outcome askCharacters(Tally& tally) {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    const bool kindZ = s.ExerciseKind == QStringLiteral("Z");
    // Kind "Z" asks its one digit as the new character with this number; 0 asks none.
    const auto digitDraw = RoundHalfEven(Platform().random.Rnd() * 10.0f);
    int drawNumber = 1;

    for (;;) {
        // A pool that cannot keep a rule (one character, no digit) has the rule relaxed.
        s.CurrentChar =
            DrawGroupCharacter(s.ExerciseText, s.PreviousChar, kindZ, drawNumber == digitDraw);
        s.PreviousChar = upperCharacters(s.CurrentChar);
        ++drawNumber;

        for (bool finished = false; !finished;) {
            SendCharacter();
            // Keys typed while the character was still sounding do not count.
            f.Text2.setText(QString());
            f.Text2.SetFocus();
            if (!waitForAnswerBox()) return Outcome::Released;
            const QString answer = f.Text2.text();
            if (answer.startsWith(QStringLiteral("\r\n"))) return Outcome::Finished;

            ++tally.given;
            const QString upper = upperCharacters(answer);
            RecordDrillAnswer(s.CurrentChar, upper, upper == s.CurrentChar);
            if (upper == QStringLiteral(" ")) {
                display.foreColor = kRed;
                DisplayMeaning() = QStringLiteral("nicht erkannt");
                ++tally.wrong;
                writeFinished(tally);
                display.foreColor = kBlack;
                DisplayMeaning().clear();
                SpeakCharacter();
                finished = true;
            } else if (upper == s.CurrentChar) {
                ++tally.right;
                writeFinished(tally);
                display.foreColor = kBlack;
                DisplayMeaning().clear();
                finished = true;
            } else {
                WaitSeconds(0.3f);
                PlayWave(QStringLiteral(".\\alfa\\S4"));
                ++tally.wrong;
                // The character, once answered, shows that it needed a second try.
                display.foreColor = kCyan;
                DisplayMeaning() = QStringLiteral("erst nach Wiederholung erkannt");
                WaitSeconds(1.0f);
            }
        }
    }
}

void showStatistics(const Tally& tally, long long elapsedSeconds) {
    TextSurface& display = *Platform().surface;
    const auto speed = RoundHalfEven(
        std::floor(static_cast<double>(tally.given) / static_cast<double>(elapsedSeconds) * 60.0) *
        1.2);
    const auto percent = static_cast<float>(static_cast<double>(tally.right) /
                                            static_cast<double>(tally.given) * 100.0);

    display.font.sizePt = 14;
    display.EndLine();
    display.CurrentX = 800;
    display.foreColor = kRed;
    display.PrintNumber(tally.given);
    display.foreColor = kBlack;
    display.Print(QStringLiteral("Zeichen gegeben,   davon "));
    display.foreColor = kRed;
    display.PrintNumber(tally.right);
    display.foreColor = kBlack;
    display.Print(QStringLiteral("richtig erkannt, "));
    display.foreColor = kRed;
    display.PrintNumber(tally.wrong);
    display.foreColor = kBlack;
    display.Print(QStringLiteral("falsch"));
    display.Print(QStringLiteral(" =  ") + FormatNumber(percent, QStringLiteral(" ##0.0 ")) +
                      QStringLiteral("% richtig"),
                  true);

    display.CurrentX = 800;
    display.Print(QStringLiteral(" Die duchschnittliche Geschwindigkeit betrug"));
    display.foreColor = kBlue;
    display.Print(FormatNumber(static_cast<double>(speed), QStringLiteral("  ### ")));
    display.foreColor = kBlack;
    display.Print(QStringLiteral(" Zeichen pro Minute"), true);
    display.EndLine();
}

void runDrill() {
    SharedState& s = S();
    Form1& f = form1();
    TextSurface& display = *Platform().surface;

    // Keyboard mode would swallow the answers and echo every asked character.
    if (s.KeyboardMode) LeaveKeyboardMode();
    prepareDrill();
    showInstructions();
    f.Text2.SetFocus();
    f.Com_Tastatur.setEnabled(true);
    s.RunAllowed = true;
    f.Text2.setText(QString());
    if (!waitForAnswerBox()) return;

    ClearDisplay();
    f.shape1.Redraw();
    display.font = FontSpec{QStringLiteral("Arial"), 18, false, false};
    display.foreColor = kBlack;
    if (s.ExerciseText.isEmpty()) {
        reportNoCharacters();
        return;
    }
    const long long startSecond = wholeSecondsNow();
    Tally tally;
    const Outcome outcome = askCharacters(tally);
    // A colour's meaning ends with the answers.
    DisplayMeaning().clear();
    if (outcome == Outcome::Released) return;

    long long elapsed = wholeSecondsNow() - startSecond;
    // Across midnight the day clock starts again at 0; the clock counts whole seconds, so a
    // drill within one second counts as one second.
    if (elapsed < 0) elapsed += kSecondsPerDay;
    if (elapsed < 1) elapsed = 1;

    ClearDisplay();
    f.shape1.Redraw();
    display.font.sizePt = 12;
    if (tally.given < 2) {
        s.RunAllowed = true;
        return;
    }
    showStatistics(tally, elapsed);

    f.Text2.setText(QString());
    f.Text2.SetFocus();
    if (waitForAnswerBox()) s.RunAllowed = true;
}
}  // namespace

void COM_FA_Click() {
    if (!form1().COM_FA.pressed() || drillRunning) return;
    drillRunning = true;
    // Each question sounds after an answer: the stream keeps running between them.
    SoundNeedScope need(Platform().tonwerk->output(), {.keepOpen = true});
    runDrill();
    drillRunning = false;
}

void Text2_KeyPress(int& keyCode) {
    if (keyCode != 13 || !form1().COM_FA.pressed()) return;
    Platform().clock->post([] { form1().Text2.typeKey('*'); });
}
