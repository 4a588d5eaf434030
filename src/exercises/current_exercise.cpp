#include "exercises/current_exercise.h"

#include <QLocale>

#include "exercises/call_signs.h"
#include "exercises/exam_text.h"
#include "exercises/own_text.h"
#include "exercises/random_groups.h"
#include "exercises/word_generator.h"
#include "platform/form1.h"
#include "state/shared_state.h"

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
