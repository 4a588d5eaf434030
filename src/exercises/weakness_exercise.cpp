#include "exercises/weakness_exercise.h"

#include <memory>

#include "engine/spoken_characters.h"
#include "platform/background_work.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "record/weakness_pool.h"
#include "state/shared_state.h"

void PracticeWeaknesses(const QString& databasePath, const QString& learner) {
    PlayWave(QStringLiteral("S12"));
    BackgroundWork* background = InstalledBackgroundWork();
    if (!background) return;
    auto choice = std::make_shared<WeaknessChoice>();
    background->run(
        [choice, databasePath, learner, now = Platform().clock->now()] {
            RecordStore store(databasePath);
            *choice = ChooseWeaknessPool(store, learner, now);
        },
        [choice] { ApplyWeaknessChoice(*choice); });
}

void ApplyWeaknessChoice(const WeaknessChoice& choice) {
    SharedState& s = S();
    s.ExerciseKind = QStringLiteral("W");
    form1().Panel2.setCaption(QStringLiteral("Schwächen üben"));
    if (!choice.pool.isEmpty()) {
        s.ExerciseText = choice.pool;
        return;
    }
    if (Platform().dialogs) {
        Platform().dialogs->message(
            QStringLiteral("Für „Schwächen üben“ ist der Lernstand noch zu klein: %1 von %2 "
                           "Antworten oder geprüften Zeichen in den letzten %3 Tagen. Geübt wird "
                           "mit den Zeichen der zuletzt gewählten Übung.")
                .arg(choice.entries)
                .arg(kWeaknessMinEntries)
                .arg(kWeaknessDays));
    }
}
