#include "exercises/current_exercise.h"

#include <QLocale>

#include "engine/timing.h"
#include "exercises/call_signs.h"
#include "exercises/exam_text.h"
#include "exercises/own_text.h"
#include "exercises/random_groups.h"
#include "exercises/word_generator.h"
#include "platform/clock.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

void PrepareRun() {
    SharedState& s = S();
    Form1& f = form1();
    Platform().surface->font.name = QStringLiteral("Arial");
    if (f.O_Verkl.ticked()) {
        s.SavedCharSpacing = s.CharSpacing;
        s.SpacingStep = ((s.CharSpacing - 1.0f) / s.GroupCount) * 0.1f;
    }
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
}

void SendCurrentExercise() {
    SharedState& s = S();
    Form1& f = form1();
    const QString& kind = s.ExerciseKind;
    if (kind == QStringLiteral("T")) {
        SendOwnText();
    } else if (kind == QStringLiteral("F")) {
        SendWords();
    } else if (kind == QStringLiteral("A")) {
        SendAbbreviations();
    } else if (kind == QStringLiteral("R")) {
        SendCallSigns();
    } else if (kind == QStringLiteral("C")) {
        f.PB1.setMax(180);
        SendExamText();
    } else {
        s.GroupCount = QLocale().toFloat(f.L_Anz.caption());
        f.PB1.setMax(static_cast<int>(s.GroupCount * 5));
        SendGroups();
    }
}
