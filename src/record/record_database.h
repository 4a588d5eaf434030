#pragma once

#include <QDate>
#include <QString>

// Where the learner's record lives and how it is made ready at start-up.

// The database file in the user's data folder (created when missing).
QString DefaultRecordPath();

// The learner of a fresh installation: the login name.
QString DefaultLearner();

struct RecordOpening {
    bool usable = false;
    QString message;   // German, for the user once; empty when all went well
    QString setAside;  // where a damaged file was moved, if one was
};

// Opens the database at `path`, creating or migrating its schema. A damaged file (corrupt, not a
// database, or with faults found by the integrity check) is renamed with `today`'s date beside
// it and a fresh one started; a file that is locked, read-only or unreadable is left alone.
RecordOpening PrepareRecordDatabase(const QString& path, const QDate& today);
