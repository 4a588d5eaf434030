#include "record/progress_figures.h"

ProgressFigures ReadProgressFigures(RecordStore& store, const QString& learner,
                                    const QDateTime& since, int listLimit) {
    ProgressFigures figures;
    if (!store.isOpen()) {
        figures.error = store.error();
        return figures;
    }
    figures.readable = true;
    figures.learners = store.learners();
    figures.characters = store.characterFigures(learner, since);
    figures.days = store.dayFigures(learner, since);
    figures.confusions = store.confusions(learner, since, listLimit);
    figures.contestAttempts = store.contestAttempts(learner, since, false);
    figures.contestMisses = store.contestMisses(learner, since, listLimit);
    figures.sendingCharacters = store.sendingCharacterFigures(learner, since);
    figures.sendingDays = store.sendingDayFigures(learner, since);
    return figures;
}
