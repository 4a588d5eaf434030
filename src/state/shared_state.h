#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// The one process-wide record of settings, derived timings, run flags, per-run data, the Morse
// table and the exercise material. Only the window thread touches it. Names follow the trainer's
// own vocabulary; float is single precision on purpose, several comparisons depend on it.
struct SharedState {
    // Settings the user adjusts.
    float Speed = 60;          // characters per minute
    float TonePitch = 800;     // Hz
    float CharSpacing = 1.0f;  // factor, 1.0 = normal
    float WordSpacing = 1.0f;  // factor, 1.0 = normal
    float GroupCount = 12;     // groups (items) per exercise
    int16_t GroupCountInt = 12;
    QString ExerciseKind = QStringLiteral("Z");  // one character

    // Derived timing (ComputeTiming); ms unless named otherwise.
    float EffectiveSpeed = 0;  // cpm after spacing penalties, or measured at the end of a run
    float DotMs = 0;
    float DashMs = 0;
    float BaseDotMs = 0;  // centre of sloppy keying
    float GapUnitMs = 0;  // unit of the extra pause after each character
    float CharGap = 0;
    float WordGap = 0;  // SECONDS

    // Run control flags.
    bool StopRequested = false;
    bool Paused = false;
    bool NormalRun = false;
    bool InPreamble = false;
    bool ReadingAloud = false;
    bool RunAllowed = false;
    bool KeyboardMode = false;
    int16_t PrintAfterRun = 0;

    // Per-run data.
    QString CurrentChar;
    int32_t SentCount = 0;
    QString SentText;
    int32_t PlayedCount = 0;
    double StartTime = 0;  // monotonic clock [s] when the preamble ended
    float StartSpeed = 0;
    float BasePitch = 0;
    float PitchDrift = 0;  // Hz per character
    float RunGroupCount = 0;
    float SpacingStep = 0;
    float SavedCharSpacing = 0;
    // Monotonic clock (s) when the last element of the last sounded character reached the
    // listener.
    double LastSignEndSeconds = 0;

    // Sound data. ElementBuffer has the lower bound 1: element i lives at ElementBuffer[i - 1],
    // and its upper bound is ElementBuffer.size().
    std::array<QString, 51> MorseTable;
    std::vector<int32_t> ElementBuffer;
    int32_t ElementCount = 0;

    // Display.
    QString ZeroGlyph;  // shown in place of the digit zero

    // Exercise material and files.
    QString ExerciseText;
    QString PreviousChar;
    QString Letters;
    QString Digits;
    QString Punctuation;
    int16_t NameFile = 0;
    QString EntryCall, EntryName, EntryQth;
    std::array<QString, 291> AbbrevList;  // index 0 is never used
    int16_t AbbrevCount = 0;
    int16_t FileNumber = 0;
    int16_t OptionFlags = 0;
    QString KeyQueue;

    // Variables of the main window that the handlers share.
    int16_t SavedPitch = 0;    // TonePitch rounded when tone fluctuation was armed
    int16_t ReadPosition = 1;  // where read-aloud continues in SentText (1-based)
};

// The process-wide record.
SharedState& S();

// Puts every value back to its start value (a fresh process); tests call it between cases.
void ResetSharedState();
