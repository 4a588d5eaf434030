#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

// The settings a record entry was made with.
struct RecordSettings {
    double speedCpm = 0;
    double charSpacing = 1;  // factor
    double wordSpacing = 1;  // factor
    double pitchHz = 0;
    QString effects;  // ticked training effects, comma-separated ("5%,unsauber"); empty for none
};

// One answer of the question-and-answer drill.
struct DrillAnswer {
    QDateTime at;
    QString asked;
    QString typed;  // " " when the user gave up
    bool right = false;
    int reactionMs = 0;  // from the end of the character's last element to the key press
    RecordSettings settings;
};

// One completed or stopped run.
struct RunSummary {
    QDateTime at;
    QString kind;  // ExerciseKind
    int groups = 0;
    int charactersSent = 0;
    double elapsedSeconds = 0;
    double measuredCpm = 0;
    bool completed = false;
    RecordSettings settings;
};

// One aligned pair of a checked copy: the sent character and what was copied in its place.
// An empty `sent` is an extra character of the copy, an empty `copied` a missed one.
struct CopyPair {
    QString sent;
    QString copied;
};

struct CheckedCopy {
    QDateTime at;
    // When the run whose text was checked began; a later check of the same run replaces this
    // one. Invalid when the run is unknown: then every check stands on its own.
    QDateTime runStart;
    std::vector<CopyPair> pairs;
    RecordSettings settings;
};

// Where the learner's record goes. The calls come from the window thread in the middle of a
// run or the drill; an implementation hands the entry on and returns at once, never waiting for
// the disk.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void answer(const DrillAnswer& entry) = 0;
    virtual void run(const RunSummary& entry) = 0;
    virtual void copy(const CheckedCopy& entry) = 0;
};
