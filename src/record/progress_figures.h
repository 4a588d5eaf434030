#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "record/record_store.h"

// Everything "Lernstand" shows of one learner over a period, read in one go so that the
// reading can happen off the window thread.
struct ProgressFigures {
    bool readable = false;
    QString error;  // why the record could not be read
    QStringList learners;
    std::vector<CharacterFigures> characters;
    std::vector<DayFigures> days;
    std::vector<Confusion> confusions;
    std::vector<ContestAttemptEntry> contestAttempts;  // without their calls
    std::vector<ContestMisses> contestMisses;
    std::vector<SendingCharacterFigures> sendingCharacters;
    std::vector<SendingDayFigures> sendingDays;
};

// Reads the figures of `learner` since `since` (invalid: all), at most `listLimit` confusions
// and as many characters most often missed in the contest.
ProgressFigures ReadProgressFigures(RecordStore& store, const QString& learner,
                                    const QDateTime& since, int listLimit);
